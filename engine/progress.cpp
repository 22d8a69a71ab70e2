#include "engine/progress.h"

#include <algorithm>

#include "platform/clock.h"

namespace corvane {

void TProgressReporter::Begin(std::uint32_t totalKiB, const std::string& caption) {
  total_ = totalKiB;
  pendingCaption_ = caption;
  captionPending_ = true;
  done_ = 0;
  if (!running_) {
    startTick_ = Clock().TickCount();
    lastTick_ = startTick_;
  }
  running_ = true;
}

void TProgressReporter::Advance(std::uint64_t bytes) {
  done_ += bytes;
  if (!Callback || total_ == 0) return;
  const std::uint32_t now = Clock().TickCount();
  if (captionPending_ ? TicksSince(startTick_, now) < kFirstReportMs : TicksSince(lastTick_, now) < kReportIntervalMs)
    return;
  lastTick_ = now;
  try {
    Report();
  } catch (...) {
    End();
    throw;
  }
}

void TProgressReporter::Report() {
  if (captionPending_) {
    captionPending_ = false;
    Callback(total_, pendingCaption_, TProgressAction::Show);
  }
  const auto position = static_cast<std::uint32_t>(std::min<std::uint64_t>(done_ / 1024, total_));
  Callback(position, {}, TProgressAction::Position);
}

void TProgressReporter::End() {
  total_ = 0;
  running_ = false;
  captionPending_ = false;
  if (Callback) Callback(0, {}, TProgressAction::Close);
}

std::size_t TProgressStream::Read(std::span<std::uint8_t> buffer) {
  const std::size_t got = inner_.Read(buffer);
  if (moved_) moved_(got);
  return got;
}

std::size_t TProgressStream::Write(std::span<const std::uint8_t> data) {
  const std::size_t taken = inner_.Write(data);
  if (moved_) moved_(taken);
  return taken;
}

}  // namespace corvane
