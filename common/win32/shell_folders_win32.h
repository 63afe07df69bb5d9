#pragma once
// The shell's named folders and file icons through shell32 and the image list calls.
#include "common/ports/shell_folders.h"

namespace vantora::win32 {

// SHGetFileInfoA's flags for a file's icon as the explorer was designed to ask, the small
// one added for 16 pixels.
unsigned fileIconFlags(int pixels);
// The flags the icon is asked with: the designed ones less SHGFI_EXETYPE, SHGFI_LINKOVERLAY
// and SHGFI_ICON. On Windows none changes the system list's picture that is drawn (the
// executable type and the icon handle are never used; the overlay goes into the handle
// only). Wine answers a request holding the first with 0, and for a shortcut asked with
// either of the others it draws a picture of the overlay alone, without the file's icon.
unsigned drawnIconFlags(int pixels);

class Win32ShellFolders : public ShellFoldersPort {
public:
    std::string shellFolderPath(int csidl) override;
    std::optional<ui::Picture> fileIcon(const std::string& path, int pixels, ui::Color background) override;
};

}  // namespace vantora::win32
