#pragma once
// A window as its logic class sees it: controls addressed by their design names
// ("Label1(3)", "mTop"), never by window handle. The Win32 host and the test view
// both implement it.
#include <cstdint>
#include <string>
#include <string_view>

namespace vantora::ui {

using Color = std::uint32_t;  // 0x00BBGGRR, as COLORREF
constexpr Color rgb(unsigned r, unsigned g, unsigned b) { return (b << 16) | (g << 8) | r; }

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

// Name of one element of a control array: Label1(3).
inline std::string indexed(std::string_view name, int index) {
    return std::string(name) + "(" + std::to_string(index) + ")";
}

class View {
public:
    virtual ~View() = default;

    virtual std::uint32_t windowHandle() const = 0;

    // Controls and menu items.
    virtual void setCaption(std::string_view control, std::string_view text) = 0;
    virtual std::string caption(std::string_view control) const = 0;
    virtual void setForeColor(std::string_view control, Color color) = 0;
    virtual Color foreColor(std::string_view control) const = 0;
    virtual void setFontSize(std::string_view control, int points) = 0;
    virtual int fontSize(std::string_view control) const = 0;
    virtual void setBounds(std::string_view control, Rect r) = 0;  // in the form's scale units
    virtual Rect bounds(std::string_view control) const = 0;
    virtual void setTag(std::string_view control, std::string_view tag) = 0;
    virtual std::string tag(std::string_view control) const = 0;
    virtual void setToolTip(std::string_view control, std::string_view text) = 0;
    virtual std::string toolTip(std::string_view control) const = 0;
    virtual void setChecked(std::string_view menuItem, bool checked) = 0;
    virtual bool checked(std::string_view menuItem) const = 0;

    // The form itself. Position and size are in twips, as a form's always are.
    virtual WindowState windowState() const = 0;
    virtual void setWindowState(WindowState state) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool visible() const = 0;
    virtual Rect formBounds() const = 0;
    virtual void moveForm(int left, int top) = 0;
    virtual void resizeForm(int width, int height) = 0;
    virtual int twipsPerPixelX() const = 0;
    virtual int twipsPerPixelY() const = 0;

    // What is drawn on the form between the picture and the labels, in pixels.
    virtual void cls() = 0;
    virtual void line(int x1, int y1, int x2, int y2, Color color) = 0;
};

}  // namespace vantora::ui
