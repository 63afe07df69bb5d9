// MERIDALE: the Win32 host of the Fn-StickyKey settings dialog.
#include <windows.h>

#include <string>
#include <utility>

#include "accessibility/v_accessibility.h"
#include "accessibility/win32/resource.h"
#include "common/win32/common_module_win32.h"
#include "common/win32/desktop_win32.h"
#include "common/win32/dialog_window.h"
#include "common/win32/guarded.h"
#include "common/win32/owners.h"
#include "common/win32/program_folder.h"
#include "common/win32/single_copy_win32.h"
#include "common/win32/string_library_win32.h"
#include "common/win32/win32_registry.h"
#include "common/win32/window_messages_win32.h"

namespace {

using namespace vantora;

constexpr char kSingleCopyMutex[] = "Vantora.MERIDALE.SingleCopy";
// The design's client area, in twips.
constexpr int kClientWidthTwips = 5640;
constexpr int kClientHeightTwips = 6435;
// MS Shell Dlg at 8 points on Windows at 96 dpi: what the template's units mean.
constexpr int kTemplateBaseUnitsX = 6;
constexpr int kTemplateBaseUnitsY = 13;

// The client area the design asks for, at this screen's resolution, centred on the screen.
void sizeAndCentre(HWND dialog) {
    const int dpi = win32::screenDpi();
    RECT outer{0, 0, MulDiv(kClientWidthTwips, dpi, 1440), MulDiv(kClientHeightTwips, dpi, 1440)};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int run(HINSTANCE instance) {
    win32::restrictDllSearch();
    win32::enterProgramFolder();

    Win32Registry registry;
    win32::Win32CommonModule commonModule;
    win32::Win32Windows windows;
    win32::Win32WindowMessages messages;
    win32::Win32SingleCopy instances(kSingleCopyMutex, win32::SingleCopyBoundary::Administrators);
    win32::Win32Help help(nullptr);
    win32::Win32StringLibrary languages(win32::programFolder());
    win32::Win32Screen screen;

    win32::DialogWindow window(
        instance, IDD_VACCESSIBILITY, accessibility::kFormName,
        ui::bindIds<win32::ControlBinding>(
            accessibility::kVAccessibilityControls,
            {IDC_OK, IDC_CANCEL, IDC_APPLY, IDC_CHKSTICKYKEY, IDC_CHKTWICELOCK, IDC_CHKPRESSSOUND, IDC_CHKSTICKYICON,
             IDC_CHKUNSTICKIDLE, IDC_CHKAUTORESETSOUND, IDC_COMUNSTICKTIME, IDC_LABEL1, IDC_LABEL2, IDC_FRMSTICKYKEY,
             IDC_FRMOPTIONS, IDC_FRMAUTORESET, IDC_IMAGE1, IDC_IMAGE2, IDC_IMAGE3, IDC_IMAGE4}));
    window.setDesignBaseUnits(kTemplateBaseUnitsX, kTemplateBaseUnitsY);

    accessibility::VAccessibility dialog(window, {registry, commonModule, windows, messages, instances, help, languages, screen},
                                         win32::programFolder());
    window.onLoad = [&] {
        for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
            const int size = GetSystemMetrics(metric);
            const auto icon = LoadImageA(instance, MAKEINTRESOURCEA(IDI_MERIDALE), IMAGE_ICON, size, size, LR_SHARED);
            SendMessageA(window.hwnd(), WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        }
        sizeAndCentre(window.hwnd());
        help.setOwner(window.hwnd());
        dialog.Form_Load();
    };
    // Closing the dialog, whichever way, ends the program.
    window.onClosed = [] { PostQuitMessage(0); };
    if (!window.createModeless(nullptr)) return 0;
    return win32::DialogWindow::runMessageLoop();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return win32::guarded(1, [=] { return run(instance); });
}
