#pragma once
#include <windows.h>

#include <string>

#include "common/ports/version_info.h"

namespace vantora::win32 {

// The version resource of a module file, the program's own unless another is named.
class Win32VersionInfo : public VersionInfoPort {
public:
    Win32VersionInfo() = default;
    explicit Win32VersionInfo(std::string file) : file_(std::move(file)) {}
    ProgramVersion programVersion() override;

private:
    std::string file_;
};

}  // namespace vantora::win32
