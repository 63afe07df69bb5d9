#pragma once
#include <windows.h>

#include <vector>

#include "common/ports/string_library.h"
#include "common/win32/owners.h"

namespace vantora::win32 {

// The libraries it loaded stay in its owners until they are freed through it; the
// search for a bare name is the process's own, which the programs restrict at start.
class Win32StringLibrary : public StringLibraryPort {
public:
    LibraryHandle LoadLibraryExA(const std::string& name, std::uint32_t flags) override;
    int LoadStringA(LibraryHandle library, std::uint32_t id, char* buffer, int bufferMax) override;
    bool FreeLibrary(LibraryHandle library) override;

private:
    std::vector<UniqueModule> loaded_;
};

}  // namespace vantora::win32
