#include "common/win32/window_messages_win32.h"

#include "common/win32/desktop_win32.h"

namespace vantora::win32 {

std::int32_t Win32WindowMessages::SendMessageA(WindowHandle window, std::uint32_t message, std::uint32_t wParam,
                                               std::int32_t lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(toHwnd(window), message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               kSendTimeoutMs, &result))
        return 0;
    return static_cast<std::int32_t>(result);
}

}  // namespace vantora::win32
