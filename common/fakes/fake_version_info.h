#pragma once
// A version resource in memory.
#include "common/ports/version_info.h"

namespace vantora::testing {

struct FakeVersionInfo : VersionInfoPort {
    ProgramVersion version;
    ProgramVersion programVersion() override { return version; }
};

}  // namespace vantora::testing
