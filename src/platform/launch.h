#pragma once

// Starting programs and opening documents. No shell is ever involved: arguments are never
// interpreted as shell syntax. Results follow the classic convention: above 32 is success,
// 2 = not found, 3 = its directory does not exist, 11 = exists but cannot be started.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr int kStartNotFound = 2;
inline constexpr int kStartPathNotFound = 3;
inline constexpr int kStartBadFormat = 11;
inline constexpr int kStartOk = 42;

// Opens a target the way the "go" command does: an explicitly named executable file is started
// directly; any other existing file or directory, or a URL with a scheme, is opened with the
// desktop's registered application; a bare name without a delimiter is looked up in PATH (the
// classic program names such as "notepad" resolve to their desktop counterparts).
int ShellOpen(const std::string& target);

// Opens an existing file or directory with the desktop's registered application, never running
// it because of its execute bit.
int OpenDocument(const std::string& path);

// Splits a command line into words: blanks separate, double quotes group, nothing is expanded.
std::vector<std::string> SplitCommandLine(std::string_view command_line);

// Starts the command line's program (looked up in PATH) detached, in the working directory.
int StartCommandLine(std::string_view command_line);

// The installed desktop counterpart of a classic Windows program name ("calc", "notepad", ...)
// as a command line for StartCommandLine ("debug" gives a terminal running gdb), or "" when the
// name is not one of them or none is installed.
std::string ResolveClassicProgram(std::string_view name);

// Plays a sound file in the background with whatever player the system has; never waits and
// never reports anything.
void PlaySoundAsync(const std::string& file);

}  // namespace platform
