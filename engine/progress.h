#pragma once
// Progress of a long file operation (loading or saving a database), reported
// to whoever shows it. Short operations show nothing: the first report comes
// 3000 ms after the start, later ones at most every 100 ms (Clock() ticks).

#include <cstdint>
#include <functional>
#include <string>

#include "engine/stream.h"

namespace corvane {

enum class TProgressAction {
  Show = 0,      // open the progress display: value = maximum, with the caption
  Position = 1,  // value = the current position
  Close = 2,     // close the display
};

// Installed by the user interface. May throw to cancel the operation.
using TProgressCallback = std::function<void(std::uint32_t value, const std::string& caption, TProgressAction action)>;

// The progress state of one database. Not thread-safe.
class TProgressReporter {
 public:
  static constexpr std::uint32_t kFirstReportMs = 3000;
  static constexpr std::uint32_t kReportIntervalMs = 100;

  // Starts (or restarts) an operation of `totalKiB`; the start time is taken
  // only when no operation is running.
  void Begin(std::uint32_t totalKiB, const std::string& caption);
  // Adds `bytes` done and reports the position in KiB (at most the total)
  // when it is time to. If the callback throws, End runs and the exception
  // goes on.
  void Advance(std::uint64_t bytes);
  // Ends the operation and tells the callback to close the display.
  void End();

  bool Running() const { return running_; }

  TProgressCallback Callback;

 private:
  void Report();

  std::uint32_t total_ = 0;
  std::uint64_t done_ = 0;
  std::uint32_t startTick_ = 0;
  std::uint32_t lastTick_ = 0;
  std::string pendingCaption_;
  bool captionPending_ = false;
  bool running_ = false;
};

// A stream that passes every read and write to `inner` (borrowed) and then
// tells `moved` how many bytes went through. Seek passes through unreported.
class TProgressStream : public TStream {
 public:
  TProgressStream(TStream& inner, std::function<void(std::uint64_t bytes)> moved)
      : inner_(inner), moved_(std::move(moved)) {}

  std::size_t Read(std::span<std::uint8_t> buffer) override;
  std::size_t Write(std::span<const std::uint8_t> data) override;
  std::uint64_t Seek(std::int64_t offset, TSeekOrigin origin) override { return inner_.Seek(offset, origin); }
  void Finish() override { inner_.Finish(); }

 private:
  TStream& inner_;
  std::function<void(std::uint64_t bytes)> moved_;
};

}  // namespace corvane
