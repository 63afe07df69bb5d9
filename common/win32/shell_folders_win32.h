#pragma once
// The shell's named folders and file icons through shell32 and the image list calls.
#include <map>

#include "common/ports/shell_folders.h"
#include "common/win32/owners.h"

namespace vantora::win32 {

// SHGetFileInfoA's flags for a file's icon in the system image list, the small one for 16
// pixels: the system image list, display name, type name and shell icon size. Of the
// explorer's designed request SHGFI_EXETYPE, SHGFI_LINKOVERLAY and SHGFI_ICON are left
// out. On Windows none changes the system list's picture that is drawn (the
// executable type and the icon handle are never used; the overlay goes into the handle
// only). Wine answers a request holding the first with 0, and for a shortcut asked with
// either of the others it draws a picture of the overlay alone, without the file's icon.
unsigned drawnIconFlags(int pixels);

class Win32ShellFolders : public ShellFoldersPort {
public:
    std::string shellFolderPath(int csidl) override;
    std::optional<Picture> fileIcon(const std::string& path, int pixels, Color background) override;

private:
    // Where icons of one size are drawn, kept from one icon to the next as a picture box is.
    struct Surface {
        UniqueMemoryDc dc;
        UniqueBitmap bitmap;
        void* bits = nullptr;
    };
    Surface* surfaceOf(int pixels);  // null when none can be made
    std::map<int, Surface> surfaces_;
};

}  // namespace vantora::win32
