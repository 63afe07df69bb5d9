#pragma once
// Messages sent to other processes' windows, recorded in order; each is answered with
// `answer`, as a receiver that handled it would.
#include <cstdint>
#include <ostream>
#include <vector>

#include "common/ports/window_messages.h"

namespace vantora::testing {

struct FakeWindowMessages : WindowMessagePort {
    struct Sent {
        WindowHandle window;
        std::uint32_t message, wParam;
        std::int32_t lParam;
        bool operator==(const Sent&) const = default;
        friend std::ostream& operator<<(std::ostream& os, const Sent& s) {
            return os << "{window 0x" << std::hex << s.window << std::dec << ", message " << s.message << ", "
                      << s.wParam << ", " << s.lParam << "}";
        }
    };
    std::vector<Sent> sent;
    std::int32_t answer = 0;
    std::int32_t SendMessageA(WindowHandle w, std::uint32_t m, std::uint32_t wp, std::int32_t lp) override {
        sent.push_back({w, m, wp, lp});
        return answer;
    }
};

}  // namespace vantora::testing
