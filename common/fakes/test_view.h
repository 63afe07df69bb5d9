#pragma once
// A view that keeps every property in memory and records what was drawn, so that
// window logic runs natively and tests read back exactly what a user would see.
//
// It is strict: the window has the controls declared to it (the list its Win32 host
// binds, through declareWindow) and the form itself, and any other name, used by the
// logic or by a test, fails the test. Elements of a declared control array count once
// loaded.
#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/fakes/unknown_name.h"
#include "common/ui/declared_controls.h"
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
        // Command buttons: the dialog's default button, which Enter clicks.
        bool isDefault = false;
        // Option buttons: selecting one clears the others of the same group.
        std::string group;
        // Fonts (the size is fontSize above) and pictures.
        std::string fontName;
        int charset = 0;
        bool bold = false;
        int bitmap = 0;
        // Text boxes: the rest of the box's state, its filter and what passed it.
        int maxLength = 0;
        char passwordChar = 0;
        bool locked = false;
        int selStart = 0, selLength = 0;
        ui::MessageFilter filter;
        std::vector<ui::ControlMessage> passed;
        // List views.
        ui::ListViewStyle style = ui::ListViewStyle::Icon;
        ui::Arrangement arrangement = ui::Arrangement::None;
        int columnWidth = 0;
        std::string largeImages, smallImages;
        std::vector<ui::ListRow> rows;
        int selectedRow = -1;
        bool redraw = true;
        // Tree views.
        std::string treeImages;
        std::vector<ui::TreeNode> nodes;
        std::vector<bool> expandedNodes;
        int selectedNode = -1;
        // Image lists: "bitmap 101", "icon 0x..." per picture.
        std::vector<std::string> pictures;
    };

    struct MessageBoxCall {
        std::string text, caption;
        std::uint32_t flags;
    };

    explicit TestView(std::uint32_t handle = 0x10010) : handle_(handle) {}

    // A control's record, for the logic's calls and a test's checks alike.
    Control& control(std::string_view name) {
        require(name);
        return controls_[std::string(name)];
    }
    // The record when the window has one by that name; asks quietly, for a test that
    // tells the windows apart.
    const Control* find(std::string_view name) const {
        auto it = controls_.find(std::string(name));
        return it == controls_.end() ? nullptr : &it->second;
    }
    // Whether the window has a control of that name (or is that form).
    bool has(std::string_view name) const {
        if (!formName_.empty() && name == formName_) return true;
        if (const Control* k = find(name); k && !k->className.empty()) return true;
        const ui::ElementName element = ui::parseElement(name);
        return element.index > 0 && arrays_.isLoaded(name) && has(ui::indexed(element.array, 0));
    }

    std::uint32_t windowHandle() const override { return handle_; }
    // A text box reports every new text as a Change, as the edit control does.
    void setCaption(std::string_view c, std::string_view t) override {
        Control& k = control(c);
        k.caption = t;
        if (k.className != "TextBox") return;
        k.selStart = k.selLength = 0;
        raise(c, ui::Event::Change);
    }
    std::string caption(std::string_view c) const override { return lookup(c) ? lookup(c)->caption : ""; }
    void setForeColor(std::string_view c, ui::Color color) override { control(c).foreColor = color; }
    ui::Color foreColor(std::string_view c) const override { return lookup(c) ? lookup(c)->foreColor : 0; }
    void setFontSize(std::string_view c, int points) override { control(c).fontSize = points; }
    int fontSize(std::string_view c) const override { return lookup(c) ? lookup(c)->fontSize : 0; }
    void setBounds(std::string_view c, ui::Rect r) override { control(c).bounds = r; }
    ui::Rect bounds(std::string_view c) const override { return lookup(c) ? lookup(c)->bounds : ui::Rect{}; }
    void setTag(std::string_view c, std::string_view t) override { control(c).tag = t; }
    std::string tag(std::string_view c) const override { return lookup(c) ? lookup(c)->tag : ""; }
    void setToolTip(std::string_view c, std::string_view t) override { control(c).toolTip = t; }
    std::string toolTip(std::string_view c) const override { return lookup(c) ? lookup(c)->toolTip : ""; }
    void setChecked(std::string_view m, bool on) override { control(m).checked = on; }
    bool checked(std::string_view m) const override { return lookup(m) && lookup(m)->checked; }

    void setEnabled(std::string_view c, bool on) override { control(c).enabled = on; }
    // A name that is no control is neither enabled nor visible, as on Windows.
    bool enabled(std::string_view c) const override { return lookup(c) && lookup(c)->enabled; }
    void setVisible(std::string_view c, bool on) override { control(c).visible = on; }
    bool isVisible(std::string_view c) const override { return lookup(c) && lookup(c)->visible; }
    void setBackColor(std::string_view c, ui::Color color) override { control(c).backColor = color; }
    ui::Color backColor(std::string_view c) const override { return lookup(c) ? lookup(c)->backColor : 0; }
    int value(std::string_view c) const override { return lookup(c) ? lookup(c)->value : 0; }
    void clearList(std::string_view c) override { control(c).items.clear(), control(c).listIndex = -1; }
    void addItem(std::string_view c, std::string_view item) override { control(c).items.emplace_back(item); }
    int listCount(std::string_view c) const override { return lookup(c) ? int(lookup(c)->items.size()) : 0; }
    std::string listItem(std::string_view c, int i) const override {
        return i >= 0 && i < listCount(c) ? lookup(c)->items[i] : "";
    }
    int listIndex(std::string_view c) const override { return lookup(c) ? lookup(c)->listIndex : -1; }
    void setFocus(std::string_view c) override {
        require(c);
        focus_ = c;
    }
    void setHelpContext(std::string_view c, std::uint32_t id) override { control(c).helpContext = id; }
    std::string className(std::string_view c) const override { return lookup(c) ? lookup(c)->className : ""; }
    // The declared controls: those a template would have made.
    std::vector<std::string> controlNames() const override {
        std::vector<std::string> names;
        for (const auto& [name, k] : controls_)
            if (!k.className.empty()) names.push_back(name);
        return names;
    }

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
    // The form and the controls its host binds; an option button's group is its frame.
    void declareWindow(std::string_view formName, const std::vector<ui::DeclaredControl>& controls) {
        setFormName(std::string(formName));
        for (const ui::DeclaredControl& c : controls) declare(c.name, c.designClass).group = c.container;
    }
    template <std::size_t N>
    void declareWindow(std::string_view formName, const ui::DeclaredControl (&controls)[N]) {
        declareWindow(formName, std::vector<ui::DeclaredControl>(controls, controls + N));
    }
    void endDialog(int result) override {
        if (!closed_) result_ = result;
        close();
    }
    // Shows the form modally: `whileOpen` plays the user, and the show returns what
    // the form was ended with.
    int runModal(const std::function<void()>& whileOpen) {
        closed_ = false, visible_ = true, result_ = 0;
        if (whileOpen) whileOpen();
        return modalResult();
    }
    // What a modal show of this form returned: the endDialog result, 0 when it closed
    // otherwise or is still open.
    int modalResult() const { return closed_ ? result_ : 0; }

    ui::TextBox& textBox(std::string_view c) override;
    ui::ListView& listView(std::string_view c) override;
    ui::TreeView& treeView(std::string_view c) override;
    ui::ImageList& imageList(std::string_view c) override;
    ui::ImageControl& image(std::string_view c) override;
    ui::Font& font(std::string_view c) override;

    // What a user does. A click on a check box toggles it, on an option button selects
    // it, on a disabled control (or none) does nothing; every other click is a Click.
    void click(std::string_view c) {
        if (!enabled(c)) return;
        if (find(c)->className == "CheckBox")
            setValue(c, value(c) == ui::kChecked ? ui::kUnchecked : ui::kChecked);
        else if (find(c)->className == "OptionButton" && value(c) != ui::kChecked)
            setValue(c, ui::kChecked);  // a click on the selected one reports itself again below
        else
            raise(c, ui::Event::Click);
    }
    void select(std::string_view c, int index) {
        if (enabled(c)) setListIndex(c, index);
    }
    // A row of a list view, or a node of a tree view, clicked by the user.
    void clickRow(std::string_view list, int row, bool twice = false) {
        if (!enabled(list) || row < 0 || row >= int(find(list)->rows.size())) return;
        control(list).selectedRow = row;
        raise(list, twice ? ui::Event::DblClick : ui::Event::Click, row);
    }
    void clickNode(std::string_view tree, int node) {
        if (!enabled(tree) || node < 0 || node >= int(find(tree)->nodes.size())) return;
        control(tree).selectedNode = node;
        raise(tree, ui::Event::Click, node);
    }
    // Enter clicks the focused command button, else the default button when it is
    // enabled, as the dialog manager does; the form never sees the key. Other keys
    // reach the form's KeyPress.
    void pressKey(std::string_view form, int key) {
        if (key != kKeyEnter) {
            raise(form, ui::Event::KeyPress, key);
            return;
        }
        const Control* focused = find(focus_);
        if (focused && focused->className == "CommandButton") return click(focus_);
        for (const auto& [name, k] : controls_)
            if (k.className == "CommandButton" && k.isDefault) return click(name);
    }
    // A message sent to a control through its filter; returns whether it passed. A text
    // box does with what passes what an edit control does with it, as far as tests need:
    // characters are typed (within the maximum, not when locked), Backspace and Delete
    // remove, Home and End move the caret.
    bool send(std::string_view c, const ui::ControlMessage& m);

    void answerNext(int answer) { answers_.push_back(answer); }
    const std::vector<MessageBoxCall>& messageBoxes() const { return messageBoxes_; }
    bool closed() const { return closed_; }
    const std::string& focus() const { return focus_; }
    // Declares a bitmap of the resource script, which pictures and image lists may show.
    void declareBitmap(int resourceId) { bitmaps_.insert(resourceId); }
    bool hasBitmap(int resourceId) const { return bitmaps_.count(resourceId) != 0; }
    // Declares a control of a design class, as a dialog template would.
    Control& declare(std::string_view c, std::string_view designClass) {
        Control& k = controls_[std::string(c)];
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

    // A popup menu records itself; a test chooses an item with click(), after the menu
    // or, as a user does while it shows, from whilePopupShows.
    void popupMenu(std::string_view menu, std::uint32_t flags) override {
        popups_.emplace_back(menu, flags);
        if (auto meanwhile = std::exchange(whilePopupShows, nullptr)) meanwhile();
    }
    std::function<void()> whilePopupShows;
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
    void storeValue(std::string_view c, int v) override {
        Control& k = control(c);
        k.value = v;
        if (k.className != "OptionButton" || v != ui::kChecked) return;
        for (auto& [name, other] : controls_)
            if (&other != &k && other.className == "OptionButton" && other.group == k.group) other.value = ui::kUnchecked;
    }
    void storeListIndex(std::string_view c, int i) override { control(c).listIndex = i; }

private:
    const Control* lookup(std::string_view name) const {
        require(name);
        return find(name);
    }
    void require(std::string_view name) const {
        if (has(name) || !reported_.insert(std::string(name)).second) return;
        unknownNameReport()("\"" + std::string(name) + "\" is no control of " +
                            (formName_.empty() ? std::string("this window") : formName_));
    }

    std::uint32_t handle_;
    mutable std::set<std::string> reported_;
    int result_ = 0;
    std::set<int> bitmaps_;
    // The kind objects handed out, one per name and kind, kept for the view's life.
    struct KindBase {
        KindBase(TestView& view, std::string name) : v(view), controlName(std::move(name)) {}
        virtual ~KindBase() = default;
        Control& k() const { return v.control(controlName); }
        TestView& v;
        std::string controlName;
    };
    template <typename Interface>
    struct Kind;
    std::map<std::string, std::unique_ptr<KindBase>> kinds_;
    template <typename Interface>
    Interface& kind(std::string_view c, bool applies, Interface& inert);
    bool is(std::string_view c, std::initializer_list<std::string_view> classes) const {
        const Control* k = lookup(c);
        return k && std::find(classes.begin(), classes.end(), k->className) != classes.end();
    }
    static constexpr int kKeyEnter = 13;
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

#include "common/fakes/test_controls.h"
