#pragma once
// The launcher's main window: a form of its own window class with what only that
// window has. Labels without windows of their own painted over a background picture
// and the lines drawn on it, their tooltips, the menu bar and popup menus addressed by
// design name (check marks, captions, help topics, control-array elements loaded at
// run time). The dialogs have none of it.
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/win32/form_window.h"

namespace vantora::win32 {

// A menu item's design name and command id. For a menu control array the binding
// names element 0 ("mPopupCmd(0)"); element j takes the id of element 0 plus j.
struct MenuBinding {
    std::string name;
    int id;
};

// A popup menu of the form, shown by popupMenu(name): the first submenu of a menu resource.
struct PopupMenuBinding {
    std::string name;
    int resourceId;
};

// Labels without windows of their own, painted by the form over its picture and hit
// by the mouse through the form: the design's labels are such lightweight controls.
// Their bounds are in pixels.
struct WindowlessLabels {
    std::vector<std::string> names;  // in drawing order: the last one lies on top
    std::string fontFace;
    bool bold = false;
};

class MainFormWindow final : public FormWindow {
public:
    using FormWindow::FormWindow;
    // Defined with the class: implicit, every object that destroys one kept a copy.
    ~MainFormWindow() override;

    void setMenus(std::vector<MenuBinding> items, std::vector<PopupMenuBinding> popups);
    void setWindowlessLabels(WindowlessLabels labels);

    // --- ui::View
    void setCaption(std::string_view control, std::string_view text) override;
    std::string caption(std::string_view control) const override;
    void setForeColor(std::string_view control, ui::Color color) override;
    ui::Color foreColor(std::string_view control) const override;
    void setFontSize(std::string_view control, int points) override;
    int fontSize(std::string_view control) const override;
    void setBounds(std::string_view control, ui::Rect r) override;
    ui::Rect bounds(std::string_view control) const override;
    void setToolTip(std::string_view control, std::string_view text) override;
    void setChecked(std::string_view menuItem, bool checked) override;
    bool checked(std::string_view menuItem) const override;
    // F1 on a highlighted menu item asks for that item's topic.
    void setHelpContext(std::string_view menuItem, std::uint32_t id) override;
    void setVisible(std::string_view menuItem, bool on) override;
    bool isVisible(std::string_view menuItem) const override;
    void setEnabled(std::string_view menuItem, bool on) override;
    bool enabled(std::string_view menuItem) const override;

    void cls() override;
    void line(int x1, int y1, int x2, int y2, ui::Color color) override;
    void setPicture(const ui::Picture* picture) override;

    void popupMenu(std::string_view menu, std::uint32_t flags) override;
    bool isLoaded(std::string_view element) const override;
    void load(std::string_view element) override;
    void unload(std::string_view element) override;

protected:
    std::optional<LRESULT> handleFormMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::uint32_t menuHelpContext(int commandId) const override;
    bool hasControl(std::string_view name) const override;

private:
    struct Label {
        std::string caption;
        ui::Color color = 0x00FFFFFF;
        int fontSize = 0;
        ui::Rect bounds;
    };
    struct MenuItem {
        std::optional<std::string> caption;
        std::optional<bool> checked;
        bool visible = true;
        bool enabled = true;
    };
    struct Line {
        int x1, y1, x2, y2;
        ui::Color color;
    };

    Label* label(std::string_view name);
    const Label* label(std::string_view name) const;
    int labelAt(int x, int y) const;
    void invalidate(const Label& l);
    void createToolTips();
    void updateTool(const Label& l);
    void paint();

    std::optional<int> menuId(std::string_view name) const;
    std::string menuName(int id) const;
    bool isMenuItem(std::string_view name) const;
    void applyMenuState(HMENU menu, int id, const MenuItem& state);
    void fillPopup(HMENU menu);

    // Windowless labels.
    WindowlessLabels labelSpec_;
    std::vector<Label> labels_;
    std::map<int, UniqueFont> labelFonts_;
    UniqueWindow tooltip_;
    // Drawing.
    UniqueBitmap picture_;
    int pictureWidth_ = 0, pictureHeight_ = 0;
    std::vector<Line> lines_;
    // Menus.
    std::vector<MenuBinding> menuItems_;
    std::vector<PopupMenuBinding> popupMenus_;
    std::map<std::string, MenuItem, std::less<>> menuState_;
    std::map<int, std::uint32_t> menuHelpContexts_;  // by command id
    ui::ControlArrays arrays_;
};

}  // namespace vantora::win32
