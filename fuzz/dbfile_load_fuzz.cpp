// Loads a database from arbitrary bytes. The first byte chooses whether the
// password is known ("pw", odd) or not (even: a listing); the rest is the
// file. Every failure must be a TError: anything else, a crash, a hang or a
// huge allocation is a fault.

#include <cstddef>
#include <cstdint>

#include "engine/base.h"
#include "engine/stream.h"
#include "platform/clock.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvane;
  // Wrong passwords make the loader wait; a fake clock makes that instant.
  static TFakeClock clock;
  if (size == 0) return 0;
  TPwdBase base;
  base.FileName = "fuzz.dat";
  base.Password = (data[0] & 1) ? "pw" : "";
  TMemoryStream file(std::span<const std::uint8_t>(data + 1, size - 1));
  try {
    base.LoadFromStream(file);
    // What loaded must also save and load again.
    if (!base.Password.empty()) {
      TMemoryStream again;
      base.SaveToStream(again);
      again.Seek(0, TSeekOrigin::Begin);
      TPwdBase copy;
      copy.FileName = "copy.dat";
      copy.Password = "pw";
      copy.LoadFromStream(again);
    }
  } catch (const TError&) {
  }
  return 0;
}
