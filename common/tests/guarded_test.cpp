// Whatever a boundary's body throws becomes the failure value; what it returns passes.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "common/win32/guarded.h"

namespace vantora::win32 {
namespace {

TEST(Guarded, ReturnsTheBodysResult_OrTheFailureValueForAnythingThrown) {
    const struct {
        const char* name;
        std::function<std::int32_t()> body;
        std::int32_t expected;
    } cases[] = {
        {"returns", [] { return 42; }, 42},
        {"returns the failure value itself", [] { return -1; }, -1},
        {"standard exception", []() -> std::int32_t { throw std::runtime_error("x"); }, -1},
        {"allocation failure", []() -> std::int32_t { throw std::bad_alloc(); }, -1},
        {"not an exception class", []() -> std::int32_t { throw 7; }, -1},
        {"a string", []() -> std::int32_t { throw std::string("x"); }, -1},
    };
    static_assert(noexcept(guarded(0, []() -> int { throw 1; })));
    for (const auto& c : cases) EXPECT_EQ(c.expected, guarded<std::int32_t>(-1, c.body)) << c.name;
}

}  // namespace
}  // namespace vantora::win32
