#pragma once
// What a test view does with a name its window does not have. A test program reports it
// as a failure of the running test and goes on (unknown_name_gtest.cpp installs that);
// any other program using a test view, such as a fuzzer's replay, stops.
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vantora::testing {

using UnknownNameReport = void (*)(const std::string& message);

inline UnknownNameReport& unknownNameReport() {
    static UnknownNameReport report = [](const std::string& message) {
        std::fprintf(stderr, "%s\n", message.c_str());
        std::abort();
    };
    return report;
}

}  // namespace vantora::testing
