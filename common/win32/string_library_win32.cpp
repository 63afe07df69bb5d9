#include "common/win32/string_library_win32.h"

#include <algorithm>

namespace vantora::win32 {

namespace {
LibraryHandle handleOf(HMODULE m) { return reinterpret_cast<LibraryHandle>(m); }
}  // namespace

LibraryHandle Win32StringLibrary::LoadLibraryExA(const std::string& name, std::uint32_t flags) {
    UniqueModule library(::LoadLibraryExA(name.c_str(), nullptr, flags));
    if (!library) return 0;
    const LibraryHandle h = handleOf(library.get());
    loaded_.push_back(std::move(library));
    return h;
}

int Win32StringLibrary::LoadStringA(LibraryHandle library, std::uint32_t id, char* buffer, int bufferMax) {
    auto it = std::find_if(loaded_.begin(), loaded_.end(), [&](const UniqueModule& m) { return handleOf(m.get()) == library; });
    if (it == loaded_.end()) return 0;
    return ::LoadStringA(it->get(), id, buffer, bufferMax);
}

bool Win32StringLibrary::FreeLibrary(LibraryHandle library) {
    auto it = std::find_if(loaded_.begin(), loaded_.end(), [&](const UniqueModule& m) { return handleOf(m.get()) == library; });
    if (it == loaded_.end()) return false;
    loaded_.erase(it);  // its owner frees it
    return true;
}

}  // namespace vantora::win32
