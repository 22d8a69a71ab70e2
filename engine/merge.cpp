#include "engine/merge.h"

#include <memory>
#include <optional>

#include "engine/base.h"
#include "engine/changelog.h"
#include "engine/merge_apply.h"
#include "engine/merge_log_tail.h"
#include "engine/secure_buffer.h"
#include "platform/error.h"

namespace corvane {
namespace {

// Switches the target's change logging off for one incoming operation: the
// merge copies the source's entries instead of letting the changes it makes
// write their own. The flag comes back however the operation ends.
class TLoggingPause {
 public:
  explicit TLoggingPause(TPwdBase& base) : base_(base), was_(base.LogChanges) { base_.LogChanges = 0; }
  ~TLoggingPause() { base_.LogChanges = was_; }
  TLoggingPause(const TLoggingPause&) = delete;
  TLoggingPause& operator=(const TLoggingPause&) = delete;
  bool WasOn() const { return was_ != 0; }

 private:
  TPwdBase& base_;
  std::uint8_t was_;
};

// The letters a change needs on the target item: structure changes need
// "A", attachment changes "L", anything else "U"; and editing the item at
// all needs "U".
bool MayApply(const TPwdBaseChangeRec& entry, const TPwdItem& target, const TPwdItem* source) {
  if (!target.HasRights("U")) return false;
  switch (entry.FieldNumber) {
    case kLogSection:
    case kLogFieldDef:
      return target.HasRights("A");
    case kLogAttachment:
      return target.HasRights("L") && (!source || source->HasRights("S"));
    default:
      return true;
  }
}

class TMerger {
 public:
  TMerger(TPwdBase& target, const TPwdBase& source)
      : target_(target), source_(source), sourceLog_(*source.ChangesLog) {}

  TMergeCounts Run() {
    const int start = DivergencePoint();
    TMergeLogTail tail(*target_.ChangesLog, start);
    tail_ = &tail;
    try {
      for (int i = start; i < sourceLog_.Count();) i = ApplyOperation(i);
    } catch (...) {
      tail.Restore();
      throw;
    }
    tail.Restore();
    return counts_;
  }

 private:
  // The length of the longest common prefix of the two logs, by stamp.
  int DivergencePoint() const {
    const TPwdBaseChangesLog& targetLog = *target_.ChangesLog;
    int d = 0;
    while (d < targetLog.Count() && d < sourceLog_.Count() &&
           targetLog[d].OperationStamp == sourceLog_[d].OperationStamp)
      ++d;
    return d;
  }

  // Applies the operation whose first entry is source entry `first`; returns
  // the index after its last entry.
  int ApplyOperation(int first) {
    const TPwdBaseChangeRec& head = sourceLog_[first];
    int end = first + 1;
    while (end < sourceLog_.Count() && sourceLog_[end].OperationStamp == head.OperationStamp) ++end;

    TLoggingPause pause(target_);
    logging_ = pause.WasOn();
    applied_ = tail_->HasStamp(head.OperationStamp);
    // The incoming entries go into the target's log after its last entry
    // made no later than the operation; target entries from there on are
    // the target's later changes, which win conflicts.
    insertAt_.reset();
    if (tail_->Size() > 0) insertAt_ = tail_->PositionAfter(head.Timestamp);

    for (int run = first; run < end;) {
      int runEnd = run + 1;
      while (runEnd < end && sourceLog_[runEnd].ItemGuid == sourceLog_[run].ItemGuid) ++runEnd;
      ApplyItemRun(run, runEnd);
      run = runEnd;
    }
    return end;
  }

  // Applies the entries [first, end) of the source log, which are all about one item.
  void ApplyItemRun(int first, int end) {
    const TPwdBaseChangeRec& head = sourceLog_[first];
    denied_ = false;
    bool skip = applied_;
    TPwdItem* item = nullptr;
    const TPwdItem* source = nullptr;
    if (!skip) {
      source = source_.FindItem(head.ItemGuid);
      if (source && !source_.HasRights(source, "")) denied_ = true;
      if (!denied_) item = Prepare(head, source, skip);
    }
    bool changed = false;
    try {
      if (!skip && !denied_)
        for (int k = first; k < end; ++k) changed |= ApplyEntry(sourceLog_[k], item, source);
    } catch (...) {
      // The item is not left half changed in edit state.
      if (item) item->Cancel();
      throw;
    }
    if (item) {
      item->Post();
      auto* record = dynamic_cast<TPwdPassword*>(item);
      auto* sourceRecord = dynamic_cast<const TPwdPassword*>(source);
      if (changed && record && sourceRecord) KeepSourceModification(*record, *sourceRecord);
    }
    if (denied_) {
      ++counts_.Denied;
    } else if (!skip && item) {
      if (head.ChangeKind == TChangeKind::Insert) ++counts_.Inserted;
      if (head.ChangeKind == TChangeKind::Update) ++counts_.Updated;
    }
  }

  // Finds (or, for an insertion, creates) the target item of an item run and
  // puts it into a state that accepts the run's changes; deletes it for a
  // deletion. Returns the item to change, or nullptr. Sets `skip` or denied_
  // when the run is to be left out.
  TPwdItem* Prepare(const TPwdBaseChangeRec& head, const TPwdItem* source, bool& skip) {
    TPwdItem* item = target_.FindItem(head.ItemGuid);
    switch (head.ChangeKind) {
      case TChangeKind::Insert:
        if (!item) return CreateItem(head, source);
        return EditItem(head, *item, source);
      case TChangeKind::Update:
        return item ? EditItem(head, *item, source) : nullptr;
      case TChangeKind::Delete:
        DeleteItem(head, item, skip);
        return nullptr;
    }
    return nullptr;
  }

  TPwdItem* EditItem(const TPwdBaseChangeRec& head, TPwdItem& item, const TPwdItem* source) {
    if (!MayApply(head, item, source)) {
      denied_ = true;
      return nullptr;
    }
    item.Edit();
    item.OperationStamp = head.OperationStamp;
    return &item;
  }

  TPwdItem* CreateItem(const TPwdBaseChangeRec& head, const TPwdItem* source) {
    TPwdFolder* parent = FindOrCreateParent(head.ParentGuid);
    if (!parent || !source) return nullptr;
    if (!parent->HasRights("I")) {
      denied_ = true;
      return nullptr;
    }
    TPwdItem* item = parent->Items->AddItem(source->ItemType, false, source->Guid);
    item->OperationStamp = head.OperationStamp;
    try {
      if (auto* record = dynamic_cast<TPwdPassword*>(item)) {
        auto& from = const_cast<TPwdPassword&>(static_cast<const TPwdPassword&>(*source));
        const TPwdField* created = from.Bind() ? from.Bind()->FieldByKind(kKindCreated) : nullptr;
        const double date = created ? created->AsDate() : 0;
        if (TPwdFieldsList* fields = record->Bind())
          if (TPwdField* field = fields->FieldByKind(kKindCreated)) field->SetAsDate(date);
      }
      item->SetIcon(MergedIconIndex(target_, source_, source->IconIndex));
    } catch (...) {
      item->Cancel();
      throw;
    }
    return item;
  }

  void DeleteItem(const TPwdBaseChangeRec& head, TPwdItem* item, bool& skip) {
    // Kept: an item the target changed later, a folder that still holds
    // something, and the root, which is never deleted.
    const auto* folder = dynamic_cast<const TPwdFolder*>(item);
    if (!item || item == &target_ || (insertAt_ && tail_->ItemChangedFrom(*insertAt_, item->Guid)) ||
        (folder && folder->Items->Count() > 0)) {
      skip = true;
      return;
    }
    if (!item->HasRights("D")) {
      denied_ = true;
      return;
    }
    item->OperationStamp = head.OperationStamp;
    item->Delete();
    ++counts_.Deleted;
  }

  // The target folder with `id`; when the target lacks it, the source's
  // folder of that id is recreated, with the same id, in its parent (itself
  // found or recreated the same way). nullptr when neither database has it
  // or a right is missing (which sets denied_).
  TPwdFolder* FindOrCreateParent(const TGuid& id) {
    if (TPwdItem* found = target_.FindItem(id)) return dynamic_cast<TPwdFolder*>(found);
    const TPwdItem* sourceFolder = source_.FindItem(id);
    if (!sourceFolder || !sourceFolder->IsFolder()) return nullptr;
    if (sourceFolder == &source_) return &target_;
    const TPwdFolder* sourceParent = sourceFolder->ParentFolder();
    TPwdFolder* parent = sourceParent ? FindOrCreateParent(sourceParent->Guid) : nullptr;
    if (!parent) return nullptr;
    if (!parent->HasRights("I")) {
      denied_ = true;
      return nullptr;
    }
    auto* folder = static_cast<TPwdFolder*>(parent->Items->AddItem(kItemTypeFolder, false, id));
    try {
      folder->Assign(*sourceFolder);
      folder->SetIcon(MergedIconIndex(target_, source_, sourceFolder->IconIndex));
    } catch (...) {
      folder->Cancel();
      throw;
    }
    folder->Post();
    return folder;
  }

  // Applies (or, when the target changed the same thing later, yields)
  // one entry and copies it into the target's log. Returns whether it was
  // applied to the item.
  bool ApplyEntry(const TPwdBaseChangeRec& entry, TPwdItem* item, const TPwdItem* source) {
    std::string oldText = entry.OldText;
    bool applied = false;
    if (item) {
      TPwdBaseChangeRec* later = nullptr;
      if (insertAt_ && entry.FieldNumber != kLogSection) later = tail_->FirstChangeFrom(*insertAt_, entry);
      if (!later || (entry.FieldNumber == kLogFieldDef && entry.OldText == entry.NewText)) {
        ApplyMergeEntry(entry, *item, source, later != nullptr, oldText);
        applied = true;
      } else {
        // The target's later change now describes a change made on top of
        // the incoming one.
        WipeString(later->OldText);
        later->OldText = entry.NewText;
      }
    }
    if (logging_) {
      auto copy = std::make_unique<TPwdBaseChangeRec>();
      CopyChangeRec(entry, *copy);
      WipeString(copy->OldText);
      copy->OldText = oldText;
      if (insertAt_) {
        tail_->Insert(*insertAt_, std::move(copy));
        ++*insertAt_;
      } else {
        tail_->Insert(tail_->Size(), std::move(copy));
      }
    }
    WipeString(oldText);
    return applied;
  }

  TPwdBase& target_;
  const TPwdBase& source_;
  const TPwdBaseChangesLog& sourceLog_;
  TMergeLogTail* tail_ = nullptr;
  TMergeCounts counts_;
  // The state of the operation being applied.
  bool logging_ = false;
  bool applied_ = false;
  std::optional<int> insertAt_;
  // The state of the item run being applied.
  bool denied_ = false;
};

}  // namespace

TMergeCounts MergeChanges(TPwdBase& target, const TPwdBase& source) {
  if (target.Guid != source.Guid) throw TError(std::string(smergenotacopy));
  if (&target == &source || !target.ChangesLog || !source.ChangesLog) return {};
  return TMerger(target, source).Run();
}

}  // namespace corvane
