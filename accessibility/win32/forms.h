#pragma once
// MERIDALE's dialog on its template: the binding table and the dialog host set-up.
#include <windows.h>

#include <memory>

#include "common/win32/dialog_window.h"

namespace vantora::accessibility {

// The dialog, not yet created.
std::unique_ptr<win32::DialogWindow> makeAccessibilityWindow(HINSTANCE instance);

// The client area the design asks for, at this screen's resolution, centred on the screen.
void sizeAndCentre(HWND dialog);

}  // namespace vantora::accessibility
