#pragma once
// The progress display of a long operation (adding or extracting files, for
// example), shown through the process's front end. Start and Step throw TError
// "User canceled." when the person has asked to cancel; the operation then
// unwinds and the display is closed by TProgressDisplay's destructor.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/progress.h"

namespace corvane {

class TProgressDisplay {
 public:
  // Opens the display with `caption` and a range of 0 to `maximum`.
  TProgressDisplay(std::string_view caption, std::uint32_t maximum);
  // Closes the display. Never throws.
  ~TProgressDisplay();
  TProgressDisplay(const TProgressDisplay&) = delete;
  TProgressDisplay& operator=(const TProgressDisplay&) = delete;

  // Shows `text` (a file name, say) and moves the bar to `position`.
  void Step(std::string_view text, std::uint32_t position);
};

// A progress callback for the engine's loading and saving that shows the
// progress through the front end and cancels by throwing "User canceled.".
TProgressCallback FrontEndProgress();

}  // namespace corvane
