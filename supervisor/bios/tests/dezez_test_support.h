#pragma once
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "common/fakes/fake_firmware_device.h"
#include "supervisor/bios/key_code_string.h"

namespace vantora::testing {

// Request bytes as ints, so that a mismatch prints every byte of both sides.
inline std::vector<int> bytesOf(const FirmwareRequest& request) { return {request.begin(), request.end()}; }

// A request block: function, the given leading parameters, the rest filled with `rest`.
inline std::vector<int> requestOf(int function, std::initializer_list<int> leading, int rest = 0) {
    std::vector<int> bytes(33, rest);
    bytes[0] = function;
    int i = 1;
    for (int b : leading) bytes[i++] = b;
    return bytes;
}

inline KeyCodeString keys(std::string_view text) { return KeyCodeString(text); }

inline FirmwareReply replyOf(std::initializer_list<int> leading) {
    FirmwareReply reply{};
    int i = 0;
    for (int b : leading) reply[i++] = static_cast<std::uint8_t>(b);
    return reply;
}

}  // namespace vantora::testing
