#include "common/win32/string_library_win32.h"

#include <algorithm>

#include "common/win32/program_folder.h"

namespace vantora::win32 {

namespace {
LibraryHandle handleOf(HMODULE m) { return reinterpret_cast<LibraryHandle>(m); }
}  // namespace

Win32StringLibrary::Win32StringLibrary(std::string programFolder) : searchPath_(std::move(programFolder)) {
    char system[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(system, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        if (!searchPath_.empty()) searchPath_ += ';';
        searchPath_ += system;
    }
}

LibraryHandle Win32StringLibrary::LoadLibraryExA(const std::string& name, std::uint32_t flags) {
    std::string path = name;
    if (name.find_first_of("\\/:") == std::string::npos) {
        // An empty search path would mean the default one, current directory included.
        if (searchPath_.empty()) return 0;
        std::vector<char> found(kLongestPath, '\0');
        const DWORD length = ::SearchPathA(searchPath_.c_str(), name.c_str(), nullptr, kLongestPath, found.data(), nullptr);
        if (length == 0 || length >= kLongestPath) return 0;
        path.assign(found.data(), length);
    }
    UniqueModule library(::LoadLibraryExA(path.c_str(), nullptr, flags));
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
