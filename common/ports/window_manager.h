#pragma once
// Top-level windows as the programs place, show and bring them forward.
#include <cstdint>
#include "common/ports/window_handle.h"

namespace vantora {

inline constexpr WindowHandle kHwndTopMost = 0xFFFFFFFFu;    // -1
inline constexpr WindowHandle kHwndNoTopMost = 0xFFFFFFFEu;  // -2
inline constexpr std::uint32_t kSwpNoMoveNoSize = 3;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShow = 5;
inline constexpr int kSwRestore = 9;

class WindowManagerPort {
public:
    virtual ~WindowManagerPort() = default;
    virtual bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx, int cy,
                              std::uint32_t flags) = 0;
    virtual bool ShowWindow(WindowHandle window, int command) = 0;
    virtual bool SetForegroundWindow(WindowHandle window) = 0;
    virtual WindowHandle GetForegroundWindow() = 0;
    virtual bool IsIconic(WindowHandle window) = 0;
    virtual bool IsWindow(WindowHandle window) = 0;
};

}  // namespace vantora
