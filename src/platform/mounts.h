#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Mount points of real file systems, "/" first, each ending in the delimiter.
std::vector<std::string> MountPoints();

// The mount points listed in a table in the format of /proc/self/mounts, as MountPoints() gives
// them: "/" first, pseudo file systems and mounted single files left out, escapes decoded.
std::vector<std::string> ParseMountPoints(std::string_view table);

}  // namespace platform
