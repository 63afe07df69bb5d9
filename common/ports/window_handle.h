#pragma once
// Window handles cross the ports as 32-bit values, as they cross between processes.
#include <cstdint>

namespace vantora {

using WindowHandle = std::uint32_t;

}  // namespace vantora
