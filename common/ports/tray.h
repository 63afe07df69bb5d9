#pragma once
// The notification area's icons.
#include <cstdint>
#include <string>
#include "common/ports/window_handle.h"

namespace vantora {

// Notification-area icon: the record fields the launcher fills.
struct TrayIconRecord {
    std::uint32_t size = 88;
    WindowHandle window = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    std::uint32_t callbackMessage = 0;
    std::string tip;
};

class TrayPort {
public:
    virtual ~TrayPort() = default;
    virtual bool add(const TrayIconRecord& record) = 0;
    virtual bool remove(const TrayIconRecord& record) = 0;
    // The message a new taskbar broadcasts, after which every icon must be added again.
    virtual std::uint32_t taskbarCreatedMessage() = 0;
};

}  // namespace vantora
