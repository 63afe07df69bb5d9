#pragma once
#include "common/ports/input_timing.h"

namespace vantora::win32 {

class Win32InputTiming : public InputTimingPort {
public:
    std::uint32_t tickCount() override;
    std::uint32_t messageTime() override;
    std::uint32_t keyRepeatIntervalMs() override;
};

}  // namespace vantora::win32
