// The settings-file reader over arbitrary file contents: every read answers without fault, the
// cached reader agrees with the one that reads the file each time.
#include <string>

#include "fuzz_support.h"
#include "platform/profile.h"

namespace {

const fuzz::ScratchFile& File() {
  static const fuzz::ScratchFile file("settings.ini");
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string& path = File().Write(text);

  const platform::ProfileText cached(path);
  for (const char* section : {"Main", "", "lanfile"}) {
    for (const char* key : {"Font", "1", ""}) {
      const std::string value = platform::ProfileReadString(path, section, key, "def");
      FUZZ_CHECK(value.size() <= platform::kProfileMaxValue);
      FUZZ_CHECK(cached.ReadString(section, key, "def") == value);
      FUZZ_CHECK(cached.ReadInt(section, key, -7) ==
                 platform::ProfileReadInt(path, section, key, -7));
      FUZZ_CHECK(cached.ReadFlag(section, key, true) ==
                 platform::ProfileReadFlag(path, section, key, true));
    }
  }
  platform::ParseProfileInt(text);
  return 0;
}
