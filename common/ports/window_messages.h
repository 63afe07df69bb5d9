#pragma once
// Messages to other processes' windows. Window handles are 32-bit values.
#include <cstdint>

#include "common/ports/window_handle.h"

namespace vantora {

class WindowMessagePort {
public:
    virtual ~WindowMessagePort() = default;
    // Synchronous, as the Win32 call: the receiver has handled the message on return.
    // A receiver that does not answer in time, or is gone, gives 0 without holding
    // up the sender.
    virtual std::int32_t SendMessageA(WindowHandle window, std::uint32_t message, std::uint32_t wParam,
                                      std::int32_t lParam) = 0;
};

}  // namespace vantora
