#pragma once
// Helpers shared by the fuzz targets: splitting one input into several texts, a scratch file
// for readers that only take a path, and a check that stops the run on a broken property.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// The input cut at its first `parts - 1` NUL bytes; missing parts are empty. The last part keeps
// any further NUL bytes, so every byte value still reaches the code under test.
inline std::vector<std::string> SplitInput(const std::uint8_t* data, std::size_t size, int parts) {
  std::vector<std::string> out;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (int i = 0; i + 1 < parts; ++i) {
    const std::size_t nul = rest.find('\0');
    if (nul == std::string_view::npos) {
      out.emplace_back(rest);
      rest = {};
      continue;
    }
    out.emplace_back(rest.substr(0, nul));
    rest.remove_prefix(nul + 1);
  }
  out.emplace_back(rest);
  return out;
}

// A new directory of this process's own, in $BW_FUZZ_SCRATCH when set (scripts/fuzz removes
// that after each target, so a run that crashed leaves nothing behind), else memory-backed when
// the system has that: the targets write files for every input. Returned without the delimiter.
inline std::string MakeScratchDir() {
  std::vector<std::string> bases;
  if (const char* base = std::getenv("BW_FUZZ_SCRATCH")) bases.emplace_back(base);
  bases.emplace_back("/dev/shm");
  bases.emplace_back("/tmp");
  for (const std::string& base : bases) {
    std::string dir = base + "/bw-fuzz-XXXXXX";
    if (mkdtemp(dir.data()) != nullptr) return dir;
  }
  std::abort();
}

// Writes a whole file with plain calls; the run stops if that fails.
inline void WriteFileOrAbort(const std::string& path, std::string_view text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) {
    std::abort();
  }
}

// A file in a directory of this process's own, rewritten with each input.
class ScratchFile {
 public:
  explicit ScratchFile(const char* name) : dir_(MakeScratchDir()), path_(dir_ + "/" + name) {}
  ~ScratchFile() {
    std::remove(path_.c_str());
    std::remove(dir_.c_str());
  }
  const std::string& Write(std::string_view text) const {
    WriteFileOrAbort(path_, text);
    return path_;
  }
  const std::string& Path() const { return path_; }

 private:
  std::string dir_;
  std::string path_;
};

// Reports a broken property and stops the run, so libFuzzer saves the input.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

}  // namespace fuzz
