#pragma once
// A window's caption and task-switch icons from the program's own resources.
#include <windows.h>

namespace vantora::win32 {

// Both sizes the system asks for, each loaded at its own size rather than scaled from one.
void setIcons(HINSTANCE instance, HWND window, int iconId);

}  // namespace vantora::win32
