#include "common/win32/shell_folders_win32.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "common/ui/view.h"
#include "common/win32/owners.h"
#include "common/win32/system_functions.h"

namespace vantora::win32 {

unsigned drawnIconFlags(int pixels) {
    const unsigned flags = SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_SHELLICONSIZE;
    return pixels <= 16 ? flags | SHGFI_SMALLICON : flags;
}

std::string Win32ShellFolders::shellFolderPath(int csidl) {
    char path[MAX_PATH + 1] = {};
    if (FAILED(later::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    path[MAX_PATH] = '\0';
    return path;
}

Win32ShellFolders::Surface* Win32ShellFolders::surfaceOf(int pixels) {
    Surface& s = surfaces_[pixels];
    if (s.bits) return &s;
    BITMAPINFO header{};
    header.bmiHeader = {sizeof(BITMAPINFOHEADER), pixels, -pixels, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    s.bitmap.reset(CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &s.bits, nullptr, 0));
    s.dc.reset(CreateCompatibleDC(nullptr));
    if (!s.bitmap || !s.dc) s.bits = nullptr;
    return s.bits ? &s : nullptr;
}

std::optional<Picture> Win32ShellFolders::fileIcon(const std::string& path, int pixels, Color background) {
    if (pixels <= 0) return std::nullopt;
    SHFILEINFOA info{};
    static_assert(sizeof info == (sizeof(void*) == 4 ? 352 : 360), "the structure the shell fills");
    const auto systemList =
        reinterpret_cast<HIMAGELIST>(later::SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, drawnIconFlags(pixels)));
    const UniqueIcon icon(info.hIcon);  // none is asked for; should a shell hand one out anyway
    if (!systemList) return std::nullopt;

    Surface* surface = surfaceOf(pixels);
    if (!surface) return std::nullopt;
    {
        SelectScope selected(surface->dc.get(), surface->bitmap.get());
        const COLORREF back = ui::isSystemColor(background) ? GetSysColor(static_cast<int>(background & 0xFF))
                                                            : static_cast<COLORREF>(background);
        SetDCBrushColor(surface->dc.get(), back);
        const RECT all{0, 0, pixels, pixels};
        FillRect(surface->dc.get(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        if (!later::ImageList_Draw(systemList, info.iIcon, surface->dc.get(), 0, 0, ILD_TRANSPARENT)) return std::nullopt;
        GdiFlush();
    }
    Picture picture{pixels, pixels, std::vector<Color>(static_cast<std::size_t>(pixels) * pixels)};
    const auto* in = static_cast<const DWORD*>(surface->bits);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)  // 0x..RRGGBB to 0x00BBGGRR
        picture.pixels[i] = ui::rgb((in[i] >> 16) & 0xFF, (in[i] >> 8) & 0xFF, in[i] & 0xFF);
    return picture;
}

}  // namespace vantora::win32
