#include "engine/cipher_stream.h"

#include <algorithm>
#include <cstring>

namespace corvane {

TCipherStream::TCipherStream(TStream& inner, std::unique_ptr<TCipher> cipher)
    : inner_(inner), cipher_(std::move(cipher)) {}

TCipherStream::TCipherStream(std::unique_ptr<TStream> inner, std::unique_ptr<TCipher> cipher)
    : ownedInner_(std::move(inner)), inner_(*ownedInner_), cipher_(std::move(cipher)) {}

TCipherStream::~TCipherStream() { WipeBytes(work_); }

std::size_t TCipherStream::Write(std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    std::size_t chunk = std::min(kChunkSize, data.size() - done);
    std::memcpy(work_.data(), data.data() + done, chunk);
    cipher_->Encrypt({work_.data(), chunk});
    std::size_t taken = 0;
    while (taken < chunk) {
      std::size_t part = inner_.Write({work_.data() + taken, chunk - taken});
      if (part == 0) break;
      taken += part;
    }
    done += taken;
    if (taken < chunk) break;
  }
  return done;
}

std::size_t TCipherStream::Read(std::span<std::uint8_t> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    std::size_t chunk = std::min(kChunkSize, buffer.size() - done);
    std::span<std::uint8_t> target = buffer.subspan(done, chunk);
    std::size_t got = 0;
    while (got < chunk) {
      std::size_t part = inner_.Read(target.subspan(got));
      if (part == 0) break;
      got += part;
    }
    if (got == 0) break;
    // Decrypted in place: the caller's buffer serves as the work buffer.
    cipher_->Decrypt(target.first(got));
    done += got;
    if (got < chunk) break;
  }
  return done;
}

}  // namespace corvane
