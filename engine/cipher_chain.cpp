#include "engine/cipher_chain.h"

#include "engine/cipher_buffer_stream.h"
#include "engine/cipher_registry.h"
#include "engine/cipher_stream.h"

namespace corvane {

namespace {

// A chain with no cipher still needs a layer of its own in front of the sink,
// which the caller owns and may free.
class TPassThroughStream : public TStream {
 public:
  explicit TPassThroughStream(TStream& inner) : inner_(inner) {}
  std::size_t Read(std::span<std::uint8_t> buffer) override { return inner_.Read(buffer); }
  std::size_t Write(std::span<const std::uint8_t> data) override { return inner_.Write(data); }
  std::uint64_t Seek(std::int64_t, TSeekOrigin) override { return 0; }

 private:
  TStream& inner_;
};

}  // namespace

std::unique_ptr<TStream> CreateCipherChain(TStream& sink, std::string_view algorithms,
                                           std::string_view password, bool blockBuffer,
                                           std::size_t firstBlockMin) {
  CheckAlgorithms(algorithms);
  std::unique_ptr<TStream> chain;
  for (auto id = algorithms.rbegin(); id != algorithms.rend(); ++id) {
    auto cipher = CreateCipher(static_cast<std::uint8_t>(*id), password);
    chain = chain ? std::make_unique<TCipherStream>(std::move(chain), std::move(cipher))
                  : std::make_unique<TCipherStream>(sink, std::move(cipher));
  }
  if (!chain && !blockBuffer) chain = std::make_unique<TPassThroughStream>(sink);
  if (!blockBuffer) return chain;
  if (!chain) return std::make_unique<TCipherBufferStream>(sink, sink, firstBlockMin);
  return std::make_unique<TCipherBufferStream>(std::move(chain), sink, firstBlockMin);
}

}  // namespace corvane
