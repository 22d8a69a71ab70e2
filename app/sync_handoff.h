#pragma once
// The program's side of desktop synchronisation. Before an exchange the
// provider library starts the program with "/activesync" (or a running
// instance gets the hand-off message from a second start) and waits for an
// acknowledgement. The program then writes one record per known database
// under "Software\Corvane\ActiveSync" of the current user, releases its open
// databases, and sets two named events: first the error event (the hand-off
// worked), then the acknowledgement event.
//
// Record per database, a subkey named by the database identifier in registry
// form ("{...}"): "File" the full file name, "Name" the display name, "OID"
// the file's object id. On the key itself, "NewDbFileName": the file name a
// database new to the device gets, "%d" where its running number goes.
//
// Runs on the thread of the user interface; not thread-safe.

#include <cstdint>
#include <string_view>

namespace corvane {

inline constexpr std::string_view kActiveSyncRegistryKey = "Software\\Corvane\\ActiveSync";
inline constexpr std::string_view kActiveSyncErrorEventName = "Corvane_ActiveSyncErrorEvent";
inline constexpr std::string_view kActiveSyncEventName = "Corvane_ActiveSyncEvent";
// The window message a second start posts to the running instance.
inline constexpr std::uint32_t kActiveSyncMessage = 0x7f6;

// What the hand-off needs of the main window.
class TSyncWindow {
 public:
  virtual ~TSyncWindow() = default;
  // Sets the close-all request: the window's timer closes every open
  // database (saving modified ones) and then calls CompleteActiveSync.
  virtual void RequestCloseAll() = 0;
};

// The hand-off. Fills the known-database list when it is empty and writes
// the records. Without a window it acknowledges at once; with one it closes
// the front end's modal dialogs and sets the window's close-all request.
// A record whose key cannot be written is skipped. Any other error is shown
// through the front end (when there is one) and the hand-off ends without
// acknowledgement, so that the library gives up after its time-out.
void HandleActiveSync(TSyncWindow* window);

// Writes the records of every known database and "NewDbFileName" (see above).
// A database gets a record when its file's header can be read and holds a
// database identifier. Throws TError only for failures outside the registry.
void WriteActiveSyncRecords();

// The end of a hand-off with a window, once its databases are closed: writes
// the records again, because a save gives a database file a new object id,
// then acknowledges. Errors are shown as HandleActiveSync shows them.
void CompleteActiveSync();

// Sets the events that exist: with `success` the error event first, then in
// every case the acknowledgement event. Events nobody created (the program
// was started by hand) are skipped. Throws TError when an event cannot be
// written, after trying the acknowledgement event all the same.
void AcknowledgeActiveSync(bool success);

}  // namespace corvane
