#pragma once
// A view that keeps every property in memory and records what was drawn, so that
// window logic runs natively and tests read back exactly what a user would see.
#include <map>
#include <string>
#include <vector>

#include "common/ui/view.h"

namespace vantora::testing {

struct DrawnLine {
    int x1, y1, x2, y2;
    ui::Color color;
    bool operator==(const DrawnLine&) const = default;
};

class TestView : public ui::View {
public:
    struct Control {
        std::string caption, tag, toolTip;
        ui::Color foreColor = 0;
        int fontSize = 0;
        ui::Rect bounds;
        bool checked = false;
    };

    explicit TestView(std::uint32_t handle = 0x10010) : handle_(handle) {}

    Control& control(std::string_view name) { return controls_[std::string(name)]; }
    const Control* find(std::string_view name) const {
        auto it = controls_.find(std::string(name));
        return it == controls_.end() ? nullptr : &it->second;
    }

    std::uint32_t windowHandle() const override { return handle_; }
    void setCaption(std::string_view c, std::string_view t) override { control(c).caption = t; }
    std::string caption(std::string_view c) const override { return find(c) ? find(c)->caption : ""; }
    void setForeColor(std::string_view c, ui::Color color) override { control(c).foreColor = color; }
    ui::Color foreColor(std::string_view c) const override { return find(c) ? find(c)->foreColor : 0; }
    void setFontSize(std::string_view c, int points) override { control(c).fontSize = points; }
    int fontSize(std::string_view c) const override { return find(c) ? find(c)->fontSize : 0; }
    void setBounds(std::string_view c, ui::Rect r) override { control(c).bounds = r; }
    ui::Rect bounds(std::string_view c) const override { return find(c) ? find(c)->bounds : ui::Rect{}; }
    void setTag(std::string_view c, std::string_view t) override { control(c).tag = t; }
    std::string tag(std::string_view c) const override { return find(c) ? find(c)->tag : ""; }
    void setToolTip(std::string_view c, std::string_view t) override { control(c).toolTip = t; }
    std::string toolTip(std::string_view c) const override { return find(c) ? find(c)->toolTip : ""; }
    void setChecked(std::string_view m, bool on) override { control(m).checked = on; }
    bool checked(std::string_view m) const override { return find(m) && find(m)->checked; }

    ui::WindowState windowState() const override { return state_; }
    void setWindowState(ui::WindowState s) override { state_ = s; }
    void show() override { visible_ = true; }
    void hide() override { visible_ = false; }
    bool visible() const override { return visible_; }
    ui::Rect formBounds() const override { return form_; }
    void moveForm(int left, int top) override { form_.left = left; form_.top = top; }
    void resizeForm(int width, int height) override { form_.width = width; form_.height = height; }
    int twipsPerPixelX() const override { return twipsPerPixel_; }
    int twipsPerPixelY() const override { return twipsPerPixel_; }
    void cls() override { lines_.clear(); ++clsCount_; }
    void line(int x1, int y1, int x2, int y2, ui::Color c) override { lines_.push_back({x1, y1, x2, y2, c}); }

    const std::vector<DrawnLine>& lines() const { return lines_; }
    int clsCount() const { return clsCount_; }
    void setTwipsPerPixel(int t) { twipsPerPixel_ = t; }

private:
    std::uint32_t handle_;
    std::map<std::string, Control> controls_;
    ui::WindowState state_ = ui::WindowState::Normal;
    bool visible_ = true;
    ui::Rect form_;
    int twipsPerPixel_ = 15;
    std::vector<DrawnLine> lines_;
    int clsCount_ = 0;
};

}  // namespace vantora::testing
