// Linked into every test program: a name that no control of the window has fails the
// test that used it, which then goes on, so that one run reports every such name.
#include <gtest/gtest.h>

#include "unknown_name.h"

namespace {

[[maybe_unused]] const bool installed = (vantora::testing::unknownNameReport() = [](const std::string& message) { ADD_FAILURE() << message; },
                        true);

}  // namespace
