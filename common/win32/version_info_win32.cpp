#include "common/win32/version_info_win32.h"

#include <vector>

#include "common/win32/system_functions.h"

namespace vantora::win32 {

namespace {

// One value of the US English, Unicode string block; "" when it is missing.
std::string stringValue(std::vector<char>& block, const char* name) {
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    char* value = nullptr;
    UINT length = 0;
    if (!later::VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return {};
    // The length counts characters with the terminator, or is 0 for an empty value.
    std::string text(value, length);
    if (const auto end = text.find('\0'); end != std::string::npos) text.resize(end);
    return text;
}

}  // namespace

ProgramVersion Win32VersionInfo::programVersion() {
    std::string file = file_;
    if (file.empty()) {
        std::vector<char> path(MAX_PATH * 4);
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0 || n >= path.size()) return {};
        file.assign(path.data(), n);
    }
    DWORD unused = 0;
    const DWORD size = later::GetFileVersionInfoSizeA(file.c_str(), &unused);
    if (size == 0) return {};
    std::vector<char> block(size);
    if (!later::GetFileVersionInfoA(file.c_str(), 0, size, block.data())) return {};
    return {stringValue(block, "ProductName"), stringValue(block, "ProductVersion"),
            stringValue(block, "LegalCopyright")};
}

}  // namespace vantora::win32
