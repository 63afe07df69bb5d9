#pragma once
// The running program's own version resource, as the About box shows it.
#include <string>

namespace vantora {

// Texts of the resource's US English string block; empty where there is none.
struct ProgramVersion {
    std::string productName;
    std::string productVersion;
    std::string legalCopyright;
};

class VersionInfoPort {
public:
    virtual ~VersionInfoPort() = default;
    virtual ProgramVersion programVersion() = 0;
};

}  // namespace vantora
