// The settings-file reader over arbitrary file contents: every read answers without fault, and
// the reader that parses the file once agrees with the one that reads the file for each key.
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
      FUZZ_CHECK(cached.ReadString(section, key, "def").size() <= platform::kProfileMaxValue);
      cached.ReadInt(section, key, -7);
      cached.ReadFlag(section, key, true);
    }
  }
  // Each read of the uncached kind reads the whole file again, so one key stands for all: the
  // input decides which, and both readers must give the same answers for it.
  const char* section = size % 2 == 0 ? "Main" : "";
  const char* key = size % 3 == 0 ? "Font" : "1";
  FUZZ_CHECK(platform::ProfileReadString(path, section, key, "def") ==
             cached.ReadString(section, key, "def"));
  FUZZ_CHECK(platform::ProfileReadInt(path, section, key, -7) == cached.ReadInt(section, key, -7));
  FUZZ_CHECK(platform::ProfileReadFlag(path, section, key, true) ==
             cached.ReadFlag(section, key, true));
  platform::ParseProfileInt(text);
  return 0;
}
