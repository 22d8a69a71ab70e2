#pragma once
// The synchronise dialog without its window: the folder searched for the
// other ("remote") copy of the open ("local") database, the databases found
// there with the one preselected, the choice remembered per local database,
// when OK may be pressed and what OK runs. The window shows what this holds
// and hands the person's changes to it. Not thread-safe: it runs on the
// thread of the user interface.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/session_modal.h"
#include "engine/base.h"

namespace corvane {

inline constexpr std::string_view ssynccaption = "Synchronize %s";
inline constexpr std::string_view ssyncfolderlabel = "Remote database folder:";
inline constexpr std::string_view ssyncbrowse = "Browse...";
inline constexpr std::string_view ssynclistlabel = "Select remote database for synchronization:";
inline constexpr std::string_view ssynctwowaybox = "Synchronize local changes to remote database";
inline constexpr std::string_view ssyncnodatabases = "There are no databases in selected folder.";
inline constexpr std::string_view ssyncbrowsetitle = "Select remote database folder:";

// One database found in the folder.
struct TSyncCandidate {
  std::string fileName;  // full path
  std::string name;      // the name stored in the file, UTF-8
};

class TSyncDialog {
 public:
  // The dialog for the open database `local`, which must outlive it. Reads
  // the remembered choice (the "Sync" setting under the local database's
  // braced identifier: the folder, a comma and the remote's name; a value
  // without a comma is a folder only), scans that folder and selects the
  // entry with the remembered name when there is one. The dialog is a modal
  // phase for as long as it exists, so the database is not closed or read
  // again behind it. The two-way box starts checked.
  explicit TSyncDialog(TPwdBase& local);
  TSyncDialog(const TSyncDialog&) = delete;
  TSyncDialog& operator=(const TSyncDialog&) = delete;

  // "Synchronize <local name>", UTF-8.
  std::string Caption() const;

  // The folder box's text.
  const std::string& Folder() const { return folder_; }
  // A new folder text (once typed, or chosen): the folder is scanned under
  // the busy cursor, so the window calls it when the box is left. Every
  // file in it that reads as a database (its plain part, without a password)
  // is listed by name, in file-name order; other files are left out without
  // a word. The first entry named like the local database (case ignored)
  // whose file is not the local's own is selected, else none.
  void SetFolder(std::string_view folder);
  // "Browse...": the folder chooser, starting at the folder box's folder. A
  // chosen folder is set as SetFolder does; false when the person cancelled.
  bool Browse();

  // The databases found, in list order. Empty: the list is disabled and
  // shows ssyncnodatabases alone.
  const std::vector<TSyncCandidate>& Candidates() const { return candidates_; }
  bool ListEnabled() const { return !candidates_.empty(); }
  // The selected entry's index; nullopt when none is.
  std::optional<std::size_t> Selection() const { return selection_; }
  // Selects an entry; nullopt or an index past the list selects none.
  void Select(std::optional<std::size_t> index);

  // The "Synchronize local changes to remote database" box: two-way when checked.
  bool TwoWay() const { return twoWay_; }
  void SetTwoWay(bool twoWay) { twoWay_ = twoWay; }

  // Whether OK is enabled: the list is enabled and an entry is selected.
  bool OkEnabled() const { return ListEnabled() && selection_.has_value(); }
  // OK: remembers the folder and the selected database's name (when the
  // settings can be written; a failed write is shown and the run goes on),
  // then synchronises the local database with the selected file, one-way
  // when the box is unchecked, and shows the report (synchronize.h). The
  // window closes afterwards. Returns whether the synchronisation ran to its
  // end; false, doing nothing, while OK is disabled.
  bool Ok();

 private:
  void Scan();

  TModalPhase modal_;
  TPwdBase& local_;
  std::string folder_;
  std::vector<TSyncCandidate> candidates_;
  std::optional<std::size_t> selection_;
  bool twoWay_ = true;
};

}  // namespace corvane
