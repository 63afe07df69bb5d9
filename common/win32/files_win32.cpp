#include "common/win32/files_win32.h"

#include <windows.h>

#include "common/win32/owners.h"

namespace vantora::win32 {

std::vector<DirectoryEntry> Win32Files::listFolder(const std::string& folder) {
    std::vector<DirectoryEntry> entries;
    WIN32_FIND_DATAA data{};
    UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &data));
    if (!find) return entries;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0,
                           (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(find.get(), &data));
    return entries;
}

bool Win32Files::fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace vantora::win32
