#pragma once
// The screen's metrics and resolution.

namespace vantora {

inline constexpr int kSmCxScreen = 0;
inline constexpr int kSmCyScreen = 1;
inline constexpr int kSmCyMenu = 15;
inline constexpr int kSmCySize = 31;
inline constexpr int kLogPixelsX = 88;

class ScreenPort {
public:
    virtual ~ScreenPort() = default;
    virtual int GetSystemMetrics(int index) = 0;
    // GetDeviceCaps on the screen's device context, which is released again.
    virtual int screenDeviceCaps(int index) = 0;
};

}  // namespace vantora
