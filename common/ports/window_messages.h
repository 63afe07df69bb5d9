#pragma once
// Messages to other processes' windows, and telling whether another copy of this
// program already runs. Window handles are 32-bit values.
#include <cstdint>

#include "common/ports/desktop.h"

namespace vantora {

class WindowMessagePort {
public:
    virtual ~WindowMessagePort() = default;
    // Synchronous, as the Win32 call: the receiver has handled the message on return.
    virtual std::int32_t SendMessageA(WindowHandle window, std::uint32_t message, std::uint32_t wParam,
                                      std::int32_t lParam) = 0;
};

class SingleCopyPort {
public:
    virtual ~SingleCopyPort() = default;
    // Claims this program's single-copy token; true when an earlier copy holds it.
    virtual bool anotherCopyRunning() = 0;
};

}  // namespace vantora
