#pragma once
// The part of a target database's change log that follows the point where
// two copies diverged, held aside while a merge runs. The merge asks of it,
// for every incoming operation, whether the operation is there already,
// where the operation's entries go by time, and whether the target changed
// the same thing later; each question is answered from an index instead of a
// scan, so that merging copies that drifted far apart stays linear.
//
// Entries are kept in an order-statistics tree (a treap keyed by position,
// each node knowing the earliest time below it), so that finding a position
// by time, the position of an entry and inserting in the middle all take
// logarithmic time. Not safe for use from several threads.

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/changelog.h"
#include "platform/guid.h"

namespace corvane {

// Gives `to` every member of `from`.
void CopyChangeRec(const TPwdBaseChangeRec& from, TPwdBaseChangeRec& to);

class TMergeLogTail {
 public:
  // Moves the entries of `log` from `start` to its end into the tail; the
  // log keeps the entries before `start`.
  TMergeLogTail(TPwdBaseChangesLog& log, int start);
  TMergeLogTail(const TMergeLogTail&) = delete;
  TMergeLogTail& operator=(const TMergeLogTail&) = delete;

  // Appends the entries, in their present order, back to the log and leaves
  // the tail empty. Positions below count from the first of them.
  void Restore();

  int Size() const;
  // Whether some entry carries operation stamp `stamp`.
  bool HasStamp(const TGuid& stamp) const;
  // The position after the last entry (in log order) whose time is not
  // later than `time`; 0 when every entry is later.
  int PositionAfter(double time) const;
  // The first entry at position `from` or after it about the same thing as
  // `entry` (item, field number and extra identifier); nullptr when none.
  TPwdBaseChangeRec* FirstChangeFrom(int from, const TPwdBaseChangeRec& entry) const;
  // Whether an entry at position `from` or after it is about item `item`.
  bool ItemChangedFrom(int from, const TGuid& item) const;
  // Puts `entry` at position `at` (Size() appends).
  void Insert(int at, std::unique_ptr<TPwdBaseChangeRec> entry);

 private:
  struct TNode {
    std::unique_ptr<TPwdBaseChangeRec> entry;
    std::uint32_t priority = 0;
    int left = -1;
    int right = -1;
    int parent = -1;
    int size = 1;
    double earliest = 0;  // the smallest Timestamp in the subtree
  };
  // What an entry is about: the item, the field number and the extra id.
  struct TSubject {
    TGuid item;
    std::int32_t field = 0;
    TGuid extra;
    bool operator==(const TSubject&) const = default;
  };
  struct TSubjectHash {
    std::size_t operator()(const TSubject& s) const;
  };

  int SizeOf(int node) const { return node < 0 ? 0 : nodes_[static_cast<std::size_t>(node)].size; }
  TNode& At(int node) { return nodes_[static_cast<std::size_t>(node)]; }
  const TNode& At(int node) const { return nodes_[static_cast<std::size_t>(node)]; }
  void Update(int node);
  // Splits `node`'s subtree into its first `count` entries and the rest.
  void Split(int node, int count, int& first, int& rest);
  int Join(int first, int rest);
  // The position of `node` in log order.
  int PositionOf(int node) const;
  void Collect(int node, std::vector<int>& out) const;

  TPwdBaseChangesLog& log_;
  std::vector<TNode> nodes_;
  int root_ = -1;
  std::uint32_t seed_ = 0x9E3779B9u;
  std::unordered_set<TGuid, TGuidHash> stamps_;
  // The nodes about each subject, in log order.
  std::unordered_map<TSubject, std::vector<int>, TSubjectHash> bySubject_;
  // The last node (in log order) about each item.
  std::unordered_map<TGuid, int, TGuidHash> lastByItem_;
};

}  // namespace corvane
