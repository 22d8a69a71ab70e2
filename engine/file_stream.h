#pragma once
// A TStream over an open platform file (borrowed), so that the container
// and the body can be read from and written to a database file.

#include "engine/stream.h"
#include "platform/file.h"

namespace corvane {

class TFileStream : public TStream {
 public:
  explicit TFileStream(TFile& file) : file_(file) {}

  std::size_t Read(std::span<std::uint8_t> buffer) override { return file_.Read(buffer); }
  std::size_t Write(std::span<const std::uint8_t> data) override {
    file_.Write(data);
    return data.size();
  }
  std::uint64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
    const auto to = origin == TSeekOrigin::Begin     ? TFile::TOrigin::kBegin
                    : origin == TSeekOrigin::Current ? TFile::TOrigin::kCurrent
                                                     : TFile::TOrigin::kEnd;
    return file_.Seek(offset, to);
  }

 private:
  TFile& file_;
};

}  // namespace corvane
