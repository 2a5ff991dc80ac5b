#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The one path delimiter; every rule "ends in the delimiter" means this character.
inline constexpr char kPathDelim = '/';

// True for the file-system root, the one directory that is its own parent.
bool IsRootDir(std::string_view path);

// True when the text ends in the path delimiter.
bool EndsWithDelim(std::string_view path);

// The directory that holds the running executable (links resolved), ending in the delimiter.
std::string ProgramDir();

// The system's program directory, the stand-in for the Windows system directory (no delimiter).
std::string SystemDir();

// The process's working directory, ending in the delimiter ("" when it cannot be read).
std::string WorkingDir();

// `name` made absolute against the working directory: unchanged when it is absolute (or empty),
// nothing when it is relative and the working directory cannot be read back (it was removed, or
// a directory above it cannot be read), since it would otherwise resolve somewhere else later.
std::optional<std::string> AbsoluteFromWorkingDir(const std::string& name);

// Makes `dir` the process's working directory; false when it cannot be entered.
bool SetWorkingDir(const std::string& dir);

}  // namespace platform
