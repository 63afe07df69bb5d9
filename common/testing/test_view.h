#pragma once
// A view that keeps every property in memory and records what was drawn, so that
// window logic runs natively and tests read back exactly what a user would see.
#include <deque>
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
        bool enabled = true, visible = true;
        ui::Color backColor = 0;
        int value = 0;
        std::vector<std::string> items;
        int listIndex = -1;
        std::uint32_t helpContext = 0;
        std::string className;
    };

    struct MessageBoxCall {
        std::string text, caption;
        std::uint32_t flags;
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

    void setEnabled(std::string_view c, bool on) override { control(c).enabled = on; }
    bool enabled(std::string_view c) const override { return !find(c) || find(c)->enabled; }
    void setVisible(std::string_view c, bool on) override { control(c).visible = on; }
    bool isVisible(std::string_view c) const override { return !find(c) || find(c)->visible; }
    void setBackColor(std::string_view c, ui::Color color) override { control(c).backColor = color; }
    ui::Color backColor(std::string_view c) const override { return find(c) ? find(c)->backColor : 0; }
    int value(std::string_view c) const override { return find(c) ? find(c)->value : 0; }
    void clearList(std::string_view c) override { control(c).items.clear(), control(c).listIndex = -1; }
    void addItem(std::string_view c, std::string_view item) override { control(c).items.emplace_back(item); }
    int listCount(std::string_view c) const override { return find(c) ? int(find(c)->items.size()) : 0; }
    std::string listItem(std::string_view c, int i) const override {
        return i >= 0 && i < listCount(c) ? find(c)->items[i] : "";
    }
    int listIndex(std::string_view c) const override { return find(c) ? find(c)->listIndex : -1; }
    void setFocus(std::string_view c) override { focus_ = c; }
    void setHelpContext(std::string_view c, std::uint32_t id) override { control(c).helpContext = id; }
    std::string className(std::string_view c) const override { return find(c) ? find(c)->className : ""; }

    // A message box records itself and returns the next scripted answer (OK when none).
    int messageBox(std::string_view text, std::string_view caption, std::uint32_t flags) override {
        messageBoxes_.push_back({std::string(text), std::string(caption), flags});
        if (answers_.empty()) return ui::kIdOk;
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    // Closing raises the form's Unload, as every road out of a dialog does.
    void close() override {
        if (closed_) return;
        closed_ = true, visible_ = false;
        if (!formName_.empty()) raise(formName_, ui::Event::Unload);
    }
    void setFormName(std::string name) { formName_ = std::move(name); }

    // What a user does. A click on a check box toggles it, on a disabled control does nothing.
    void click(std::string_view c) {
        if (!enabled(c)) return;
        if (find(c) && find(c)->className == "CheckBox")
            setValue(c, value(c) == ui::kChecked ? ui::kUnchecked : ui::kChecked);
        else
            raise(c, ui::Event::Click);
    }
    void select(std::string_view c, int index) {
        if (enabled(c)) setListIndex(c, index);
    }
    void pressKey(std::string_view form, int key) { raise(form, ui::Event::KeyPress, key); }
    void answerNext(int answer) { answers_.push_back(answer); }
    const std::vector<MessageBoxCall>& messageBoxes() const { return messageBoxes_; }
    bool closed() const { return closed_; }
    const std::string& focus() const { return focus_; }
    // Declares a control of a design class, as a dialog template would.
    Control& declare(std::string_view c, std::string_view designClass) {
        Control& k = control(c);
        k.className = designClass;
        return k;
    }

    ui::WindowState windowState() const override { return state_; }
    // As ShowWindow does: minimizing or restoring a hidden window also shows it.
    void setWindowState(ui::WindowState s) override { state_ = s, visible_ = true; }
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
    void setPicture(const ui::Picture* p) override { picture_ = p; }
    const ui::Picture* picture() const { return picture_; }

    // A popup menu records itself; a test chooses an item with click().
    void popupMenu(std::string_view menu, std::uint32_t flags) override { popups_.emplace_back(menu, flags); }
    const std::vector<std::pair<std::string, std::uint32_t>>& popups() const { return popups_; }
    bool isLoaded(std::string_view element) const override { return arrays_.isLoaded(element); }
    void load(std::string_view element) override { loads_ += arrays_.load(element); }
    void unload(std::string_view element) override {
        if (arrays_.unload(element)) ++unloads_, controls_.erase(std::string(element));
    }
    int loads() const { return loads_; }
    int unloads() const { return unloads_; }

    const std::vector<DrawnLine>& lines() const { return lines_; }
    int clsCount() const { return clsCount_; }
    void setTwipsPerPixel(int t) { twipsPerPixel_ = t; }

protected:
    void storeValue(std::string_view c, int v) override { control(c).value = v; }
    void storeListIndex(std::string_view c, int i) override { control(c).listIndex = i; }

private:
    std::uint32_t handle_;
    std::vector<MessageBoxCall> messageBoxes_;
    std::deque<int> answers_;
    bool closed_ = false;
    std::string formName_;
    std::string focus_;
    std::map<std::string, Control> controls_;
    ui::WindowState state_ = ui::WindowState::Normal;
    bool visible_ = true;
    ui::Rect form_;
    int twipsPerPixel_ = 15;
    std::vector<DrawnLine> lines_;
    int clsCount_ = 0;
    const ui::Picture* picture_ = nullptr;
    std::vector<std::pair<std::string, std::uint32_t>> popups_;
    ui::ControlArrays arrays_;
    int loads_ = 0, unloads_ = 0;
};

}  // namespace vantora::testing
