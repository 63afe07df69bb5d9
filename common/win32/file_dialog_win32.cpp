#include "common/win32/file_dialog_win32.h"

#include <windows.h>
#include <commdlg.h>

#include "common/win32/desktop_win32.h"
#include "common/win32/system_functions.h"

namespace vantora::win32 {

std::optional<OpenFileChoice> Win32FileDialog::showOpen(const OpenFileRequest& request) {
    const std::string filter = commonDialogFilter(request.filter);
    char file[MAX_PATH] = {}, title[MAX_PATH] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = toHwnd(request.owner);
    ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    ofn.lpstrInitialDir = request.initialDirectory.empty() ? nullptr : request.initialDirectory.c_str();
    ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    // Shortcuts come back as themselves: the caller resolves them the way it needs. The
    // current directory stays the program's own, not the folder the user browsed to.
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NODEREFERENCELINKS | OFN_NOCHANGEDIR;
    if (!later::GetOpenFileNameA(&ofn)) return std::nullopt;
    return OpenFileChoice{file, title};
}

}  // namespace vantora::win32
