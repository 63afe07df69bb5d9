#pragma once
// A resource library of numbered strings, reached as the platform reaches one: loaded
// (as a data file), asked for one string into a caller's buffer, freed again.
#include <cstdint>
#include <string>

namespace vantora {

using LibraryHandle = std::uintptr_t;  // 0: none

inline constexpr std::uint32_t kLoadLibraryAsDatafile = 2;

class StringLibraryPort {
public:
    virtual ~StringLibraryPort() = default;
    // 0 when the library cannot be loaded.
    virtual LibraryHandle LoadLibraryExA(const std::string& name, std::uint32_t flags) = 0;
    // As LoadStringA: copies at most bufferMax - 1 characters and a terminator; returns
    // the number copied, 0 when there is no such string (or no room).
    virtual int LoadStringA(LibraryHandle library, std::uint32_t id, char* buffer, int bufferMax) = 0;
    virtual bool FreeLibrary(LibraryHandle library) = 0;
};

}  // namespace vantora
