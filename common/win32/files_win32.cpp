#include "common/win32/files_win32.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "common/win32/owners.h"
#include "common/win32/program_folder.h"

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
                           (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (FindNextFileA(find.get(), &data));
    return entries;
}

namespace {

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// One of the system's folders through a GetSystemDirectoryA-like call; empty on failure.
std::string systemFolder(UINT (WINAPI* query)(LPSTR, UINT)) {
    char folder[MAX_PATH] = {};
    const UINT length = query(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
}

// A folder named from a drive or a share: not one that leads from the current directory.
bool isAbsolute(const std::string& folder) {
    return folder.rfind("\\\\", 0) == 0 || (folder.size() > 2 && folder[1] == ':' && folder[2] == '\\');
}

}  // namespace

// CreateProcess's search without the current directory: the folder a user last browsed
// to must never lend a program its name. PATH's relative and empty entries would bring
// it back, so they are left out.
const std::string& Win32Files::searchPath() {
    if (!searchPath_.empty()) return searchPath_;
    std::vector<char> path(kLongestPath, '\0');
    const DWORD length = GetEnvironmentVariableA("PATH", path.data(), kLongestPath);
    std::string folders = programFolder() + ';' + systemFolder(&GetSystemDirectoryA) + ';' +
                          systemFolder(&GetWindowsDirectoryA) + ';';
    if (length < kLongestPath) folders.append(path.data(), length);
    for (std::string::size_type begin = 0, end; begin <= folders.size(); begin = end + 1) {
        end = std::min(folders.find(';', begin), folders.size());
        const std::string folder = folders.substr(begin, end - begin);
        if (isAbsolute(folder)) searchPath_ += (searchPath_.empty() ? "" : ";") + folder;
    }
    return searchPath_;
}

std::optional<std::string> Win32Files::findFile(const std::string& name) {
    if (name.empty()) return std::nullopt;
    if (name.find_first_of("\\/:") != std::string::npos) return isFile(name) ? std::optional(name) : std::nullopt;
    // An empty search path would be the default one, current directory included.
    if (searchPath().empty()) return std::nullopt;
    std::vector<char> found(kLongestPath, '\0');
    const DWORD length = SearchPathA(searchPath().c_str(), name.c_str(), nullptr, kLongestPath, found.data(), nullptr);
    if (length == 0 || length >= kLongestPath) return std::nullopt;
    std::string file(found.data(), length);
    return isFile(file) ? std::optional(std::move(file)) : std::nullopt;
}

}  // namespace vantora::win32
