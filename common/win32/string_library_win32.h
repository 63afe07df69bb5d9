#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "common/ports/string_library.h"
#include "common/win32/owners.h"

namespace vantora::win32 {

// A bare library name is looked for where the programs' restricted search looks: the
// program's folder, then the system folder; never in the current directory. Wine loads
// a data file through a search of its own that includes the current directory whatever
// the process restricted, so the name is resolved here and loaded by its full path.
// The libraries it loaded stay in its owners until they are freed through it.
class Win32StringLibrary : public StringLibraryPort {
public:
    explicit Win32StringLibrary(std::string programFolder);
    LibraryHandle LoadLibraryExA(const std::string& name, std::uint32_t flags) override;
    int LoadStringA(LibraryHandle library, std::uint32_t id, char* buffer, int bufferMax) override;
    bool FreeLibrary(LibraryHandle library) override;

private:
    std::string searchPath_;  // "program folder;system folder"
    std::vector<UniqueModule> loaded_;
};

}  // namespace vantora::win32
