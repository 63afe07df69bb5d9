#pragma once
// Whose window a handle names. A handle kept somewhere (the registry, a file) outlives
// its window, and the number may come back for a window of any other program.
#include <windows.h>

#include <cstdint>
#include <string>

namespace vantora::win32 {

// A window handle kept as a 32-bit number (the registry, a message, an export) becomes a
// handle again as Windows does between 32- and 64-bit programs: sign-extended, so that the
// sentinels HWND_TOPMOST (-1) and HWND_NOTOPMOST (-2) keep their meaning on Win64.
inline HWND windowFromNumber(std::uint32_t number) {
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<std::int32_t>(number)));
}

// The other way round: window handles are 32 bits wide on every Windows.
inline std::uint32_t numberOfWindow(HWND window) {
    return static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(window));
}

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
