#pragma once
// FileSystemPort over the Win32 file calls.
#include "common/ports/desktop.h"

namespace vantora::win32 {

class Win32Files : public FileSystemPort {
public:
    std::vector<DirectoryEntry> listFolder(const std::string& folder) override;
    bool fileExists(const std::string& path) override;
};

}  // namespace vantora::win32
