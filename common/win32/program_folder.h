#pragma once
// The folder a program's own files lie in: the folder of its .exe, or of one of its
// modules. Libraries and help files are taken from there by full path, so a path that
// was cut short must never pass for a folder: it would name some other folder.
#include <windows.h>

#include <functional>
#include <string>

namespace vantora::win32 {

// The longest path Windows hands out, in characters with the terminator.
inline constexpr DWORD kLongestPath = 32767;

// The folder of `module`'s file (the running program's .exe for none), without a
// trailing backslash; empty when the path cannot be had whole.
std::string programFolder(HMODULE module = nullptr);

// Makes the program's own folder its current directory: what the program or the shell
// looks for there then comes from the program's folder, not from where it was started.
void enterProgramFolder();

// The same over any query that behaves like GetModuleFileNameA (the number of
// characters written, the buffer's size when the path did not fit, 0 on failure).
using ModulePathQuery = std::function<DWORD(char* buffer, DWORD size)>;
std::string folderOfModule(const ModulePathQuery& query);

}  // namespace vantora::win32
