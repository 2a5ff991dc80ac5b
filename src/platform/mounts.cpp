#include "platform/mounts.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <string_view>

#include "platform/paths.h"

namespace platform {
namespace {

// File systems of the kernel and of memory, which hold no user files worth offering.
constexpr std::array<std::string_view, 26> kPseudoTypes = {
    "proc",      "sysfs",       "cgroup",   "cgroup2",  "devpts",     "mqueue",  "tracefs",
    "debugfs",   "securityfs",  "pstore",   "bpf",      "configfs",   "fusectl", "hugetlbfs",
    "autofs",    "binfmt_misc", "devtmpfs", "tmpfs",    "ramfs",      "nsfs",    "efivarfs",
    "selinuxfs", "rpc_pipefs",  "nfsd",     "squashfs", "fuse.portal"};

bool IsPseudo(std::string_view type) {
  return std::find(kPseudoTypes.begin(), kPseudoTypes.end(), type) != kPseudoTypes.end();
}

// Network file systems are not looked at: a server that is away would stall the caller.
bool IsNetwork(std::string_view type) {
  for (std::string_view prefix : {"nfs", "cifs", "smb", "fuse.", "9p", "ceph"}) {
    if (type.substr(0, prefix.size()) == prefix) return true;
  }
  return false;
}

// The mounts file writes blanks, tabs, line breaks and backslashes as "\" + three octal digits.
std::string DecodeField(std::string_view field) {
  std::string text;
  text.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
        field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
      text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                (field[i + 3] - '0'));
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

}  // namespace

std::vector<std::string> ParseMountPoints(std::string_view table) {
  std::vector<std::string> points{std::string(1, kPathDelim)};
  std::istringstream lines{std::string(table)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, dir, type;
    if (!(fields >> device >> dir >> type)) continue;
    if (IsPseudo(type)) continue;
    std::string point = DecodeField(dir);
    if (point.empty() || point.front() != kPathDelim) continue;
    // Container setups mount single files (such as /etc/hosts); only directories are offered.
    struct stat st;
    if (!IsNetwork(type) && (stat(point.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))) continue;
    if (!EndsWithDelim(point)) point += kPathDelim;
    if (std::find(points.begin(), points.end(), point) == points.end()) points.push_back(point);
  }
  return points;
}

std::vector<std::string> MountPoints() {
  std::ifstream file("/proc/self/mounts");
  std::stringstream text;
  text << file.rdbuf();
  return ParseMountPoints(text.str());
}

}  // namespace platform
