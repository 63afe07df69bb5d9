// Which font another program's control draws its caption in, told by its pixels: Wine
// draws text without smoothing, so the caption's ink is exactly the text colour, and its
// bounding box matches that of the same text drawn here in the same face and size.
// (A control's font cannot be asked for from outside under Wine 8: WM_GETFONT answers
// a handle of the other process.)
#pragma once

#include <windows.h>

#include <algorithm>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "common/win32/owners.h"
#include "tests/e2e/win32_test_support.h"

namespace vantora::testing {

struct Ink {
    int width = 0, height = 0;
    bool operator==(const Ink&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Ink& i) { return out << i.width << 'x' << i.height; }

// The bounding box of the pixels of a rectangle for which isInk(x, y) holds.
template <class IsInk>
Ink boundingBox(const RECT& r, IsInk isInk) {
    int left = r.right, right = -1, top = r.bottom, bottom = -1;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (isInk(x, y)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    return right < 0 ? Ink{} : Ink{right - left + 1, bottom - top + 1};
}

// The ink of a control of any process, inside its client area less `inset` pixels on
// each side (a button's frame is drawn in the text colour too) and, when `rows` is not
// 0, in that many rows from the top (a frame's caption, above the controls it holds).
// Under Wine the device context of another process's child window reads nothing, so
// the pixels are read through its top-level window's, one by one.
inline Ink inkOfControl(HWND control, COLORREF color, int inset, int rows) {
    HWND window = GetAncestor(control, GA_ROOT);
    RECT r{};
    GetClientRect(control, &r);
    InflateRect(&r, -inset, -inset);
    if (rows) r.bottom = std::min<LONG>(r.bottom, r.top + rows);
    MapWindowPoints(control, window, reinterpret_cast<POINT*>(&r), 2);
    vantora::win32::WindowDc dc(window);
    if (!dc) return {};
    return boundingBox(r, [&](int x, int y) { return GetPixel(dc.get(), x, y) == color; });
}

// The ink of one line of text drawn here, in a face at a character height in pixels
// (a LOGFONT height: negative for the em height, as points are turned into).
inline Ink inkOfText(const std::wstring& text, const wchar_t* face, int height) {
    using namespace vantora::win32;
    WindowDc screen(nullptr);
    UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    UniqueBitmap canvas(CreateCompatibleBitmap(screen.get(), 600, 40));
    UniqueFont font(CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, face));
    if (!dc || !canvas || !font) return {};
    SelectScope drawn(dc.get(), canvas.get()), lettered(dc.get(), font.get());
    RECT all{0, 0, 600, 40};  // wider and taller than any one caption
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc.get(), RGB(0, 0, 0));
    SetBkMode(dc.get(), TRANSPARENT);
    DrawTextW(dc.get(), text.c_str(), -1, &all, DT_SINGLELINE | DT_LEFT | DT_TOP);
    return boundingBox(all, [&](int x, int y) { return GetPixel(dc.get(), x, y) == RGB(0, 0, 0); });
}

// The character height of a size in points on this screen, as the programs turn it.
inline int pointsToHeight(int points) {
    vantora::win32::WindowDc screen(nullptr);
    return -MulDiv(points, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
}

// "MS P Gothic" and the dialogs' design font ("MS Shell Dlg", which the Japanese locale
// turns into "MS UI Gothic") end in the same IPA face in the prefix, so a rule that
// changes the one into the other would not show. While this lives, the prefix draws
// "MS P Gothic" in the fixed-pitch IPA face instead, for every program started after;
// this process draws that face by its own name (its font list was read at its start).
class DistinctGothic {
public:
    static constexpr wchar_t kFace[] = L"IPAGothic";
    DistinctGothic() : before_(readText(HKEY_CURRENT_USER, kReplacements, "MS P Gothic")) {
        writeText(HKEY_CURRENT_USER, kReplacements, "MS P Gothic", "IPAGothic");
    }
    ~DistinctGothic() {
        if (before_.empty())
            deleteValue(HKEY_CURRENT_USER, kReplacements, "MS P Gothic");
        else
            writeText(HKEY_CURRENT_USER, kReplacements, "MS P Gothic", before_);
    }
    DistinctGothic(const DistinctGothic&) = delete;
    DistinctGothic& operator=(const DistinctGothic&) = delete;

private:
    static constexpr char kReplacements[] = "Software\\Wine\\Fonts\\Replacements";
    std::string before_;
};

// One control whose caption a font rule sets.
struct FontCase {
    int control;
    std::wstring face;  // as the rule names it
    int points;         // 0: the design size kept
    int inset = 0;      // pixels of a button's frame left out
    int rows = 0;       // a frame's caption band, in pixels from the top
};

// Each control's caption against the same text drawn here in the rule's face and size,
// and, so that the comparison can tell, unlike the design font (8 points of "MS Shell Dlg").
inline void expectFontsDrawn(HWND window, std::initializer_list<FontCase> cases) {
    const int designHeight = pointsToHeight(8);
    for (const FontCase& c : cases) {
        HWND control = GetDlgItem(window, c.control);
        wchar_t text[512] = {};
        DWORD_PTR unused = 0;
        SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &unused);
        const std::wstring face = c.face == L"MS P Gothic" ? DistinctGothic::kFace : c.face;
        const Ink wanted = inkOfText(text, face.c_str(), c.points ? pointsToHeight(c.points) : designHeight);
        const Ink design = inkOfText(text, L"MS Shell Dlg", designHeight);
        const std::string name(c.face.begin(), c.face.end());
        EXPECT_NE(design, wanted) << "control " << c.control << ": " << name << " cannot be told from the design font";
        const COLORREF ink = GetSysColor(IsWindowEnabled(control) ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
        Ink drawn;  // once the window has painted
        waitFor([&] { return (drawn = inkOfControl(control, ink, c.inset, c.rows)) == wanted; }, 3000);
        EXPECT_EQ(wanted, drawn) << "control " << c.control << " is not drawn in " << name << " at " << c.points
                                 << " points (0: design size); the design font's ink is " << design;
    }
}

}  // namespace vantora::testing
