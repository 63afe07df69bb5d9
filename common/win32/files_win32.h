#pragma once
// FileSystemPort over the Win32 file calls.
#include <string>

#include "common/ports/file_system.h"

namespace vantora::win32 {

class Win32Files : public FileSystemPort {
public:
    std::vector<DirectoryEntry> listFolder(const std::string& folder) override;
    std::optional<std::string> findFile(const std::string& name) override;

private:
    const std::string& searchPath();
    std::string searchPath_;  // made at the first bare name
};

}  // namespace vantora::win32
