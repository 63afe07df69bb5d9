#pragma once
// WindowMessagePort over SendMessageTimeoutA: a receiver that hangs, or ends while the
// message waits, costs the sender a bounded wait instead of its own window.
#include <windows.h>

#include "common/ports/window_messages.h"

namespace vantora::win32 {

class Win32WindowMessages : public WindowMessagePort {
public:
    static constexpr UINT kSendTimeoutMs = 2000;

    std::int32_t SendMessageA(WindowHandle window, std::uint32_t message, std::uint32_t wParam,
                              std::int32_t lParam) override;
};

}  // namespace vantora::win32
