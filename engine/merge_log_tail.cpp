#include "engine/merge_log_tail.h"

#include <algorithm>

namespace corvane {

void CopyChangeRec(const TPwdBaseChangeRec& from, TPwdBaseChangeRec& to) {
  to.FieldNumber = from.FieldNumber;
  to.UserName = from.UserName;
  to.OldText = from.OldText;
  to.NewText = from.NewText;
  to.Timestamp = from.Timestamp;
  to.ParentGuid = from.ParentGuid;
  to.UserGuid = from.UserGuid;
  to.ItemGuid = from.ItemGuid;
  to.ChangeKind = from.ChangeKind;
  to.OperationStamp = from.OperationStamp;
  to.ExtraText1 = from.ExtraText1;
  to.ExtraText2 = from.ExtraText2;
  to.ExtraGuid = from.ExtraGuid;
}

std::size_t TMergeLogTail::TSubjectHash::operator()(const TSubject& s) const {
  const TGuidHash hash;
  std::size_t h = hash(s.item);
  h ^= hash(s.extra) + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
  h ^= static_cast<std::size_t>(static_cast<std::uint32_t>(s.field)) * 0x100000001B3ull;
  return h;
}

TMergeLogTail::TMergeLogTail(TPwdBaseChangesLog& log, int start) : log_(log) {
  // The log's own records are copied rather than moved, so that their
  // destructors wipe the texts they held.
  for (int k = start; k < log.Count(); ++k) {
    auto entry = std::make_unique<TPwdBaseChangeRec>();
    CopyChangeRec(log[k], *entry);
    Insert(Size(), std::move(entry));
  }
  for (int k = log.Count() - 1; k >= start; --k) log.Delete(k);
}

void TMergeLogTail::Restore() {
  std::vector<int> order;
  order.reserve(nodes_.size());
  Collect(root_, order);
  for (int node : order) CopyChangeRec(*At(node).entry, log_.Add());
  nodes_.clear();
  root_ = -1;
  stamps_.clear();
  bySubject_.clear();
  lastByItem_.clear();
}

int TMergeLogTail::Size() const { return SizeOf(root_); }

bool TMergeLogTail::HasStamp(const TGuid& stamp) const { return stamps_.contains(stamp); }

int TMergeLogTail::PositionAfter(double time) const {
  // Walk down towards the rightmost entry not later than `time`.
  int node = root_;
  int before = 0;  // entries left of `node`'s subtree
  while (node >= 0) {
    const TNode& n = At(node);
    if (n.right >= 0 && At(n.right).earliest <= time) {
      before += SizeOf(n.left) + 1;
      node = n.right;
    } else if (n.entry->Timestamp <= time) {
      return before + SizeOf(n.left) + 1;
    } else {
      node = n.left;
    }
  }
  return 0;
}

TPwdBaseChangeRec* TMergeLogTail::FirstChangeFrom(int from, const TPwdBaseChangeRec& entry) const {
  const auto found = bySubject_.find({entry.ItemGuid, entry.FieldNumber, entry.ExtraGuid});
  if (found == bySubject_.end()) return nullptr;
  const std::vector<int>& nodes = found->second;
  const auto first = std::partition_point(nodes.begin(), nodes.end(),
                                          [&](int node) { return PositionOf(node) < from; });
  return first == nodes.end() ? nullptr : At(*first).entry.get();
}

bool TMergeLogTail::ItemChangedFrom(int from, const TGuid& item) const {
  const auto found = lastByItem_.find(item);
  return found != lastByItem_.end() && PositionOf(found->second) >= from;
}

void TMergeLogTail::Insert(int at, std::unique_ptr<TPwdBaseChangeRec> entry) {
  const int node = static_cast<int>(nodes_.size());
  seed_ ^= seed_ << 13;
  seed_ ^= seed_ >> 17;
  seed_ ^= seed_ << 5;
  TNode& added = nodes_.emplace_back();
  added.priority = seed_;
  added.earliest = entry->Timestamp;
  added.entry = std::move(entry);

  int first = -1;
  int rest = -1;
  Split(root_, at, first, rest);
  root_ = Join(Join(first, node), rest);
  At(root_).parent = -1;

  const TPwdBaseChangeRec& rec = *At(node).entry;
  stamps_.insert(rec.OperationStamp);
  std::vector<int>& same = bySubject_[{rec.ItemGuid, rec.FieldNumber, rec.ExtraGuid}];
  same.insert(std::partition_point(same.begin(), same.end(), [&](int other) { return PositionOf(other) < at; }),
              node);
  const auto [last, isNew] = lastByItem_.try_emplace(rec.ItemGuid, node);
  if (!isNew && PositionOf(last->second) < at) last->second = node;
}

void TMergeLogTail::Update(int node) {
  TNode& n = At(node);
  n.size = 1 + SizeOf(n.left) + SizeOf(n.right);
  n.earliest = n.entry->Timestamp;
  for (int child : {n.left, n.right}) {
    if (child < 0) continue;
    At(child).parent = node;
    n.earliest = std::min(n.earliest, At(child).earliest);
  }
}

void TMergeLogTail::Split(int node, int count, int& first, int& rest) {
  if (node < 0) {
    first = rest = -1;
    return;
  }
  TNode& n = At(node);
  if (SizeOf(n.left) >= count) {
    Split(n.left, count, first, At(node).left);
    rest = node;
  } else {
    Split(n.right, count - SizeOf(n.left) - 1, At(node).right, rest);
    first = node;
  }
  Update(node);
  if (first >= 0) At(first).parent = -1;
  if (rest >= 0) At(rest).parent = -1;
}

int TMergeLogTail::Join(int first, int rest) {
  if (first < 0) return rest;
  if (rest < 0) return first;
  if (At(first).priority > At(rest).priority) {
    At(first).right = Join(At(first).right, rest);
    Update(first);
    return first;
  }
  At(rest).left = Join(first, At(rest).left);
  Update(rest);
  return rest;
}

int TMergeLogTail::PositionOf(int node) const {
  int position = SizeOf(At(node).left);
  for (int child = node, parent = At(node).parent; parent >= 0; child = parent, parent = At(parent).parent)
    if (At(parent).right == child) position += SizeOf(At(parent).left) + 1;
  return position;
}

void TMergeLogTail::Collect(int node, std::vector<int>& out) const {
  if (node < 0) return;
  Collect(At(node).left, out);
  out.push_back(node);
  Collect(At(node).right, out);
}

}  // namespace corvane
