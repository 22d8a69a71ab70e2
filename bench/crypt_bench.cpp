// The cost of the encrypted container over a 20 MB database body, beside its
// floor: one zlib pass at level 6 and the eight ciphers applied to the whole
// buffer at once, with no chunking, block buffer or stream layers.

#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <benchmark/benchmark.h>
#include <cryptopp/arc4.h>
#include <cryptopp/blowfish.h>
#include <cryptopp/cast.h>
#include <cryptopp/des.h>
#include <cryptopp/modes.h>
#include <cryptopp/rijndael.h>
#include <cryptopp/serpent.h>
#include <cryptopp/tea.h>
#include <cryptopp/twofish.h>
#include <zlib.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/cipher_registry.h"
#include "engine/crypt_stream.h"

namespace corvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kBodySize = 20 * 1024 * 1024;
constexpr std::size_t kPiece = 1024;  // the item stream writes values of about this size and less
const std::string kPassword = "benchmark password";

// Text that compresses about as well as a database body: records with
// repeated words and random-looking passwords.
const Bytes& Body() {
  static const Bytes body = [] {
    Bytes data;
    data.reserve(kBodySize + 200);
    std::uint32_t x = 12345;
    char line[160];
    for (int n = 0; data.size() < kBodySize; ++n) {
      x = x * 1103515245u + 12345u;
      int length = std::snprintf(line, sizeof line, "Record %d\tuser%d@example.com\thttps://site%d.example/login\t%08x%08x\n",
                                 n, n % 977, n % 313, x, x * 2654435761u);
      data.insert(data.end(), line, line + length);
    }
    data.resize(kBodySize);
    return data;
  }();
  return body;
}

using TFloorCiphers = std::vector<std::unique_ptr<CryptoPP::StreamTransformation>>;

// One cipher as a plain Crypto++ CBC object, keyed like the chain.
template <class TAlgorithm>
void AddCbc(TFloorCiphers& ciphers, std::uint8_t id, bool encrypt) {
  TSecureBytes key = DeriveKey(kPassword, CipherById(id).maxKeyBits);
  if (id == 24) key.resize(24, 0);  // triple DES takes a 24-byte key buffer
  Bytes iv(TAlgorithm::BLOCKSIZE, 0);
  typename TAlgorithm::Encryption(key.data(), key.size()).ProcessBlock(iv.data());
  if (encrypt) {
    ciphers.push_back(std::make_unique<typename CryptoPP::CBC_Mode<TAlgorithm>::Encryption>(key.data(), key.size(), iv.data()));
  } else {
    ciphers.push_back(std::make_unique<typename CryptoPP::CBC_Mode<TAlgorithm>::Decryption>(key.data(), key.size(), iv.data()));
  }
}

// The eight ciphers in the registry's order (RC4 as Crypto++'s stream).
TFloorCiphers FloorCiphers(bool encrypt) {
  using namespace CryptoPP;
  TFloorCiphers ciphers;
  AddCbc<Blowfish>(ciphers, 5, encrypt);
  AddCbc<CAST128>(ciphers, 7, encrypt);
  AddCbc<DES_EDE3>(ciphers, 24, encrypt);
  TSecureBytes rc4Key = DeriveKey(kPassword, 2048);
  ciphers.push_back(std::make_unique<Weak::ARC4>(rc4Key.data(), rc4Key.size()));
  AddCbc<Rijndael>(ciphers, 9, encrypt);
  AddCbc<Serpent>(ciphers, 26, encrypt);
  AddCbc<TEA>(ciphers, 25, encrypt);
  AddCbc<Twofish>(ciphers, 6, encrypt);
  return ciphers;
}

Bytes FloorWrite(const Bytes& body) {
  uLongf size = compressBound(body.size());
  Bytes out(size + 16);
  compress2(out.data(), &size, body.data(), body.size(), 6);
  out.resize((size + 15) / 16 * 16);
  for (auto& cipher : FloorCiphers(true)) cipher->ProcessData(out.data(), out.data(), out.size());
  return out;
}

Bytes FloorRead(Bytes data, std::size_t bodySize) {
  auto ciphers = FloorCiphers(false);
  for (auto it = ciphers.rbegin(); it != ciphers.rend(); ++it) (*it)->ProcessData(data.data(), data.data(), data.size());
  Bytes body(bodySize);
  z_stream z{};
  inflateInit(&z);
  z.next_in = data.data();
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = body.data();
  z.avail_out = static_cast<uInt>(body.size());
  inflate(&z, Z_FINISH);
  inflateEnd(&z);
  return body;
}

Bytes StreamWrite(const Bytes& body) {
  TMemoryStream out;
  TCryptStream crypt(out, kPassword, AllAlgorithms(), true);
  for (std::size_t at = 0; at < body.size(); at += kPiece) crypt.WriteBuffer({body.data() + at, kPiece}, false);
  crypt.Finish();
  return Bytes(out.Data().begin(), out.Data().end());
}

Bytes StreamRead(const Bytes& data, std::size_t bodySize) {
  TMemoryStream in(data);
  TCryptStream crypt(in, kPassword, "", true);
  Bytes body(bodySize);
  for (std::size_t at = 0; at < body.size(); at += kPiece) crypt.ReadBuffer({body.data() + at, kPiece}, false);
  return body;
}

void BM_FloorWrite(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FloorWrite(Body()));
  state.SetBytesProcessed(state.iterations() * kBodySize);
}

void BM_StreamWrite(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(StreamWrite(Body()));
  state.SetBytesProcessed(state.iterations() * kBodySize);
}

void BM_FloorRead(benchmark::State& state) {
  Bytes data = FloorWrite(Body());
  for (auto _ : state) {
    Bytes body = FloorRead(data, kBodySize);
    if (body != Body()) state.SkipWithError("floor read gave other bytes");
  }
  state.SetBytesProcessed(state.iterations() * kBodySize);
}

void BM_StreamRead(benchmark::State& state) {
  Bytes data = StreamWrite(Body());
  for (auto _ : state) {
    Bytes body = StreamRead(data, kBodySize);
    if (body != Body()) state.SkipWithError("stream read gave other bytes");
  }
  state.SetBytesProcessed(state.iterations() * kBodySize);
  state.counters["stored_MB"] = static_cast<double>(data.size()) / 1e6;
}

BENCHMARK(BM_FloorWrite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StreamWrite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FloorRead)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StreamRead)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace corvane
