#pragma once
// Power-off in memory: every call in the order made, each able to fail.
#include <cstdio>
#include <string>
#include <vector>

#include "common/ports/power.h"

namespace vantora::testing {

struct FakePower : PowerPort {
    std::vector<std::string> calls;  // "enablePrivilege SeShutdownPrivilege", "ExitWindowsEx 8 ffffffff"
    bool privilegeFails = false;
    bool exitFails = false;

    bool enablePrivilege(const char* privilege) override {
        calls.push_back(std::string("enablePrivilege ") + privilege);
        return !privilegeFails;
    }
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override {
        char text[40];
        std::snprintf(text, sizeof text, "ExitWindowsEx %x %x", unsigned(flags), unsigned(reason));
        calls.emplace_back(text);
        return !exitFails;
    }
};

}  // namespace vantora::testing
