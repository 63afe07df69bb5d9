#pragma once
// Whose window a handle names. A handle kept somewhere (the registry, a file) outlives
// its window, and the number may come back for a window of any other program.
#include <windows.h>

#include <string>

namespace vantora::win32 {

// The file name of the program a process runs, without its folder; empty when the
// process is gone or may not be asked.
std::string programNameOf(DWORD processId);

// True when `window` is a live window of another process that runs the very program
// file this process runs (its full path, not only its name), at an integrity level no
// lower than this one's where the system has integrity levels; false whenever that
// cannot be read.
bool isWindowOfThisProgram(HWND window);

// True when `window` is a live window of `className` whose process runs a program of
// that file name (both compared without case).
bool isWindowOf(HWND window, const char* className, const char* programName);

}  // namespace vantora::win32
