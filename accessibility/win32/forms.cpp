#include "accessibility/win32/forms.h"

#include <vector>

#include "accessibility/v_accessibility.h"
#include "accessibility/win32/resource.h"
#include "common/win32/system_functions.h"

namespace vantora::accessibility {

namespace {

// The design's client area, in twips.
constexpr int kClientWidthTwips = 5640;
constexpr int kClientHeightTwips = 6435;

}  // namespace

std::unique_ptr<win32::DialogWindow> makeAccessibilityWindow(HINSTANCE instance) {
    auto window = std::make_unique<win32::DialogWindow>(
        instance, IDD_VACCESSIBILITY, kFormName,
        ui::bindIds<win32::ControlBinding>(
            kVAccessibilityControls,
            {IDC_OK, IDC_CANCEL, IDC_APPLY, IDC_CHKSTICKYKEY, IDC_CHKTWICELOCK, IDC_CHKPRESSSOUND, IDC_CHKSTICKYICON,
             IDC_CHKUNSTICKIDLE, IDC_CHKAUTORESETSOUND, IDC_COMUNSTICKTIME, IDC_LABEL1, IDC_LABEL2, IDC_FRMSTICKYKEY,
             IDC_FRMOPTIONS, IDC_FRMAUTORESET, IDC_IMAGE1, IDC_IMAGE2, IDC_IMAGE3, IDC_IMAGE4}));
    window->setDesignBaseUnits(win32::kShellDlgBaseUnitsX, win32::kShellDlgBaseUnitsY);
    window->setIcon(IDI_MERIDALE);
    return window;
}

void sizeAndCentre(HWND dialog) {
    const int dpi = win32::screenDpi();
    RECT outer{0, 0, MulDiv(kClientWidthTwips, dpi, 1440), MulDiv(kClientHeightTwips, dpi, 1440)};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vantora::accessibility
