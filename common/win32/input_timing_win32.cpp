#include "common/win32/input_timing_win32.h"

#include <windows.h>

namespace vantora::win32 {

// The time of a message this thread posts itself and takes back at once. Only posted
// messages are looked at meanwhile: no other message is handled here.
std::uint32_t Win32InputTiming::tickCount() {
    constexpr WPARAM kMark = 0x7C10C4;
    HWND threadMessages = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1));
    MSG msg;
    if (PostThreadMessageA(GetCurrentThreadId(), WM_NULL, kMark, 0)) {
        while (PeekMessageA(&msg, threadMessages, WM_NULL, WM_NULL, PM_REMOVE | PM_QS_POSTMESSAGE))
            if (msg.wParam == kMark) return msg.time;
    }
    return GetTickCount();
}

// GetMessageTime tells when the last message taken from the queue was posted; a sent
// message never passes the queue, so its time would be some earlier message's.
std::uint32_t Win32InputTiming::messageTime() {
    return InSendMessage() ? tickCount() : static_cast<std::uint32_t>(GetMessageTime());
}

// The keyboard speed runs from 0 (about 2.5 repeats a second) to 31 (about 30).
std::uint32_t Win32InputTiming::keyRepeatIntervalMs() {
    DWORD speed = 31;
    if (!SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &speed, 0) || speed > 31) speed = 31;
    const double perSecond = 2.5 + speed * (27.5 / 31.0);
    return static_cast<std::uint32_t>(1000.0 / perSecond);
}

}  // namespace vantora::win32
