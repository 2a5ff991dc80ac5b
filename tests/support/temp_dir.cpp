#include "support/temp_dir.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "bwtest.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Make read-only leftovers of a test removable before removing them.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

std::string TempDir::CreateFile(std::string_view relative, std::string_view contents) const {
  fs::path p = fs::path(path_) / fs::path(std::string(relative));
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  return p.string();
}

std::string TempDir::CreateDir(std::string_view relative) const {
  fs::path p = fs::path(path_) / fs::path(std::string(relative));
  fs::create_directories(p);
  return p.string();
}

std::string TempDir::CreateSparse(std::string_view relative, std::int64_t bytes) const {
  const std::string path = CreateFile(relative);
  const int fd = open(path.c_str(), O_WRONLY);
  if (fd < 0 || ftruncate(fd, bytes) != 0) throw std::runtime_error("cannot size " + path);
  const std::string data(4096, 'd');
  for (std::int64_t at = 0; at < bytes; at += 65536) {
    if (pwrite(fd, data.data(), data.size(), at) != 4096) throw std::runtime_error("pwrite failed");
  }
  close(fd);
  return path;
}

std::string TempDir::Read(std::string_view relative) const {
  std::ifstream in(fs::path(path_) / fs::path(std::string(relative)), std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool TempDir::Exists(std::string_view relative) const {
  std::error_code ec;
  return fs::exists(fs::path(path_) / fs::path(std::string(relative)), ec);
}
