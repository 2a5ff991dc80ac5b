#pragma once

// The console's command dispatcher: runs one command line of the console language against the
// windows of the program.

#include <string>

class App;

namespace console {

// Runs one command line and returns when the command, with its dialogs and any script it ran,
// has finished. Failures that no command catches are thrown to the caller's error report.
void ExecuteCommandLine(App& app, const std::string& line);

// Runs a script file, each body line through ExecuteCommandLine.
void RunScriptFile(App& app, const std::string& file_name);

}  // namespace console
