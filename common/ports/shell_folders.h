#pragma once
// The shell's named folders and its file icons, as the Application Explorer shows
// the Start menu's Programs folders.
#include <optional>
#include <string>

#include "common/picture.h"

namespace vantora {

inline constexpr int kCsidlPrograms = 2;         // the current user's Programs folder
inline constexpr int kCsidlCommonPrograms = 23;  // the all-users Programs folder

class ShellFoldersPort {
public:
    virtual ~ShellFoldersPort() = default;
    // The folder's path, cut at its first zero; empty when the system has none.
    virtual std::string shellFolderPath(int csidl) = 0;
    // The file's icon as the shell shows it (its picture in the system image list, the
    // small one for 16 pixels, as SHGetFileInfoA names it), drawn by ImageList_Draw at 0,0
    // on a square of `background` and `pixels` wide; none when the shell has no icon for it.
    virtual std::optional<Picture> fileIcon(const std::string& path, int pixels, Color background) = 0;
};

}  // namespace vantora
