#include "common/win32/control_kinds_win32.h"

#include <cstdlib>

namespace vantora::win32 {

namespace {

class FontKind final : public ui::Font {
public:
    explicit FontKind(HWND w) : w_(w) {}
    void setName(std::string_view face) override {
        change([&](LOGFONTA& f) { lstrcpynA(f.lfFaceName, std::string(face).c_str(), LF_FACESIZE); });
    }
    std::string name() const override { return current().lfFaceName; }
    void setCharset(int charset) override { change([&](LOGFONTA& f) { f.lfCharSet = static_cast<BYTE>(charset); }); }
    int charset() const override { return current().lfCharSet; }
    void setSize(int points) override {
        if (points <= 0) return;
        change([&](LOGFONTA& f) { f.lfHeight = -MulDiv(points, screenDpi(), 72), f.lfWidth = 0; });
    }
    int size() const override { return MulDiv(std::abs(current().lfHeight), 72, screenDpi()); }
    void setBold(bool on) override { change([&](LOGFONTA& f) { f.lfWeight = on ? FW_BOLD : FW_NORMAL; }); }
    bool bold() const override { return current().lfWeight >= FW_BOLD; }

private:
    LOGFONTA current() const {
        LOGFONTA face{};
        auto font = reinterpret_cast<HFONT>(SendMessageA(w_, WM_GETFONT, 0, 0));
        GetObjectA(font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), sizeof face, &face);
        return face;
    }
    template <typename Change>
    void change(Change&& how) {
        LOGFONTA face = current();
        how(face);
        UniqueFont font(CreateFontIndirectA(&face));
        if (!font) return;
        SendMessageA(w_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
        font_ = std::move(font);  // the control has let go of the one before
    }

    HWND w_;
    UniqueFont font_;
};

}  // namespace

std::unique_ptr<ui::Font> makeFont(HWND control) { return std::make_unique<FontKind>(control); }

}  // namespace vantora::win32
