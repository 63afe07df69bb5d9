#include "common/win32/program_folder.h"

#include <algorithm>
#include <vector>

namespace vantora::win32 {

std::string folderOfModule(const ModulePathQuery& query) {
    // A full buffer is a cut path on every Windows: older ones do not even terminate it.
    for (DWORD size = MAX_PATH;; size = std::min(size * 2, kLongestPath)) {
        std::vector<char> path(size, '\0');
        const DWORD length = query(path.data(), size);
        if (length == 0) return {};
        if (length < size) {
            const std::string file(path.data(), length);
            const auto slash = file.rfind('\\');
            return slash == std::string::npos ? std::string() : file.substr(0, slash);
        }
        if (size == kLongestPath) return {};
    }
}

std::string programFolder(HMODULE module) {
    return folderOfModule([module](char* buffer, DWORD size) { return ::GetModuleFileNameA(module, buffer, size); });
}

void enterProgramFolder() {
    // With its backslash, so that a drive root is the root, not the drive's current folder.
    if (const std::string folder = programFolder(); !folder.empty()) ::SetCurrentDirectoryA((folder + "\\").c_str());
}

}  // namespace vantora::win32
