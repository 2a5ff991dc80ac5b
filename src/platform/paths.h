#pragma once

#include <functional>
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

// The part of a path after its last delimiter; the whole text when it holds none, "" when it
// ends in one.
std::string BaseName(std::string_view path);

// The part of a path up to and including its last delimiter; "" when it holds none.
std::string DirName(std::string_view path);

// `dir` and `name` as one path, with a delimiter put between them when `dir` lacks one (never
// "/tmp/xa" for "/tmp/x" and "a", a file of another directory); an empty `dir` gives `name`.
std::string JoinPath(std::string_view dir, std::string_view name);

// Gives the real path of an existing directory (links, "." and ".." resolved), or nothing.
using RealDirOf = std::function<std::optional<std::string>(const std::string& dir)>;

// The full `path` without empty, "." or ".." parts, naming the entry the file system would find
// under it: repeated delimiters and "." dropped as written, but a path with ".." taken through
// `real_dir` of its directory part, since ".." after a link leads to the link target's parent.
// The last part is kept as it is (a change acts on the entry, not on what a link there points
// to), unless it is ".." itself. Nothing for a relative path or a directory part that does not
// resolve; a plain full path comes back as it is, without a look at the disk.
std::optional<std::string> NormalFullPath(std::string_view path, const RealDirOf& real_dir);
// NormalFullPath resolved on the disk.
std::optional<std::string> ResolvedFullPath(std::string_view path);

// The directory that holds the running executable (links resolved), ending in the delimiter.
std::string ProgramDir();

// Where the program's data files (Lang/, FL/, help.html, ...) lie, given the executable's
// directory (ending in the delimiter): that directory itself in the portable layout, or
// "<prefix>/share/brackwell/" when the executable was installed as "<prefix>/bin/brackwell".
// Ends in the delimiter.
std::string DataDirFor(const std::string& exe_dir);

// The value of an environment variable; "" when it is unset.
std::string EnvValue(const char* name);

// True when a file can be created in `dir` right now (tried, not guessed from permission bits, so
// read-only mounts count as well).
bool IsWritableDir(const std::string& dir);

// The per-user settings directory: $XDG_CONFIG_HOME/brackwell/, or ~/.config/brackwell/ when that
// variable is unset or not absolute. `xdg_config_home` and `home` are the environment values
// (empty when unset). Ends in the delimiter; "" when neither gives an absolute path.
std::string UserConfigDir(const std::string& xdg_config_home, const std::string& home);

// Where settings and list files are kept: the program directory when it is writable (the
// portable layout), otherwise the per-user settings directory, created when missing. Falls back
// to the program directory when no per-user directory can be made.
std::string SettingsDirFor(const std::string& program_dir);

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

// `path` with every byte outside the unreserved characters and "/" written as %XX, as file
// URIs and the desktop trash's info files write paths.
std::string PercentEncode(std::string_view path);
// The bytes behind %XX escapes; nothing when an escape is malformed.
std::optional<std::string> PercentDecode(std::string_view text);

}  // namespace platform
