// What the shell keeps for the program's run: the program's directory (its
// working directory from start-up on), its arguments (only the restart as
// administrator passes one: the dial target it carries over) and the runtime
// error report.
#pragma once

#include <cstddef>
#include <string>

namespace app {

// Directory of the executable, without a trailing backslash.
const std::wstring& ProgramDirectory();

// Records the program directory from a module file name (the part before its
// last backslash).
void SetProgramDirectoryFrom(const std::wstring& moduleFileName);

// The program's arguments as the system gave them, without its own name.
// Empty unless the entry point recorded them (tests load forms without).
const std::wstring& Arguments();
void SetArguments(const std::wstring& arguments);

// The text of a runtime error report for a code (0: none) and a message.
std::wstring RuntimeErrorText(int code, const std::wstring& message);

// The message of a failed memory request of the given size.
std::wstring OutOfMemoryText(std::size_t bytes);

// Shows the runtime error report, shuts down and ends the process with -1.
// It does not return (only a test sink, below, returns).
void ReportRuntimeError(int code, const std::wstring& message);

// The report of a failed memory request; it asks for no memory itself.
void ReportOutOfMemory(std::size_t bytes);

// Tests catch reports here instead of a message box and an exit; null restores.
using ErrorSink = void (*)(int code, const std::wstring& message);
ErrorSink SetErrorSinkForTests(ErrorSink sink);

}  // namespace app
