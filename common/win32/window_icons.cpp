#include "common/win32/window_icons.h"

#include <utility>

namespace vantora::win32 {

void setIcons(HINSTANCE instance, HWND window, int iconId) {
    for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        const int size = GetSystemMetrics(metric);
        // Shared: the system frees it with the module, however many windows show it.
        const auto icon = LoadImageA(instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, size, size, LR_SHARED);
        SendMessageA(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

}  // namespace vantora::win32
