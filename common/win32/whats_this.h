#pragma once
// The What's This mode of a dialog with a help button in its caption: after the button,
// the next click asks for help on the control under the pointer (WM_HELP, as F1 on that
// control does); Esc, a right click or a click outside the dialog leaves the mode. Kept here rather
// than left to the system because Wine's windows ignore the caption's help button.
#include <windows.h>

namespace vantora::win32 {

class WhatsThisMode {
public:
    // True when the message belonged to the mode and is answered.
    bool handle(HWND dialog, UINT message, WPARAM w, LPARAM l);

private:
    void leave();
    bool active_ = false;
};

}  // namespace vantora::win32
