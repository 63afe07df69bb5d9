#include "common/win32/shell_folders_win32.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "common/win32/owners.h"

namespace vantora::win32 {

unsigned fileIconFlags(int pixels) {
    const unsigned flags = SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_EXETYPE |
                           SHGFI_SHELLICONSIZE | SHGFI_LINKOVERLAY | SHGFI_ICON;
    return pixels <= 16 ? flags | SHGFI_SMALLICON : flags;
}

unsigned drawnIconFlags(int pixels) {
    return fileIconFlags(pixels) & ~unsigned(SHGFI_EXETYPE | SHGFI_LINKOVERLAY | SHGFI_ICON);
}

std::string Win32ShellFolders::shellFolderPath(int csidl) {
    char path[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    path[MAX_PATH] = '\0';
    return path;
}

std::optional<ui::Picture> Win32ShellFolders::fileIcon(const std::string& path, int pixels, ui::Color background) {
    if (pixels <= 0) return std::nullopt;
    SHFILEINFOA info{};
    static_assert(sizeof info == 352, "the structure the shell fills");
    const auto systemList =
        reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, drawnIconFlags(pixels)));
    const UniqueIcon icon(info.hIcon);  // none is asked for; should a shell hand one out anyway
    if (!systemList) return std::nullopt;

    BITMAPINFO header{};
    header.bmiHeader = {sizeof(BITMAPINFOHEADER), pixels, -pixels, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const UniqueBitmap surface(CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!surface || !bits || !dc) return std::nullopt;
    {
        SelectScope selected(dc.get(), surface.get());
        const COLORREF back = ui::isSystemColor(background) ? GetSysColor(static_cast<int>(background & 0xFF))
                                                            : static_cast<COLORREF>(background);
        const UniqueBrush brush(CreateSolidBrush(back));
        const RECT all{0, 0, pixels, pixels};
        FillRect(dc.get(), &all, brush.get());
        if (!ImageList_Draw(systemList, info.iIcon, dc.get(), 0, 0, ILD_TRANSPARENT)) return std::nullopt;
        GdiFlush();
    }
    ui::Picture picture{pixels, pixels, std::vector<ui::Color>(static_cast<std::size_t>(pixels) * pixels)};
    const auto* in = static_cast<const DWORD*>(bits);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)  // 0x..RRGGBB to 0x00BBGGRR
        picture.pixels[i] = ui::rgb((in[i] >> 16) & 0xFF, (in[i] >> 8) & 0xFF, in[i] & 0xFF);
    return picture;
}

}  // namespace vantora::win32
