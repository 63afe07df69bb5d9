#pragma once
// The form host of a dialog laid out in a resource template: controls are reached by
// design name through a table of control ids, and WM_COMMAND, WM_NOTIFY, WM_HELP and
// the close box become handler calls (ui::View::raise). Closing the dialog, by any
// road, raises the form's Unload first. What every form has lies in FormWindow.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/win32/form_window.h"
#include "common/win32/whats_this.h"

namespace vantora::win32 {

class ControlTable;  // the control kinds of one window (controls_win32.h)

struct ControlBinding {
    std::string name;         // design name, "chkStickyKey" or "Label1(3)"
    int id;                   // control id in the template
    std::string designClass;  // "CheckBox", "ComboBox", "ListBox", "CommandButton", "Label", ...
    // The frame the control lies in, as the design nests it; empty for the form. A
    // template lays every control out flat, but bounds read and set through the view are
    // relative to the frame, and moving a frame moves what lies in it.
    std::string container = {};
};

// MS Shell Dlg at 8 points on Windows at 96 dpi: what the programs' templates were laid out for.
inline constexpr int kShellDlgBaseUnitsX = 6;
inline constexpr int kShellDlgBaseUnitsY = 13;

class DialogWindow : public FormWindow {
public:
    DialogWindow(HINSTANCE instance, int templateId, std::string formName, std::vector<ControlBinding> controls);
    ~DialogWindow() override;

    // Raised with the window created and before it is shown (the form's load handler).
    std::function<void()> onLoad;

    // The template's dialog units were laid out for a font with these base units at
    // 96 dpi. Where the dialog's font measures otherwise (a substitute font, another
    // system), the controls and the client area are moved and sized at creation to
    // where the template meant them. Unset, the template is left as the system lays it out.
    void setDesignBaseUnits(int x, int y) { designBaseX_ = x, designBaseY_ = y; }
    // The program's icon in the dialog's caption, set before the load handler runs.
    void setIcon(int iconId) { iconId_ = iconId; }

    // Runs the dialog in a nested message loop owned by `owner`; returns when it closed,
    // with the result given to endDialog (0 when it closed otherwise).
    int showModal(HWND owner);
    // Creates the dialog without waiting; it stays hidden until show(). Returns false
    // when the load handler closed it again.
    bool createModeless(HWND owner);

    // --- ui::View
    // Shown while it loads, the dialog appears when the load ends, as the load left it:
    // each change to a shown window would be drawn again. A message box the load shows
    // shows the dialog first.
    void show() override;
    void hide() override;
    bool visible() const override;
    int messageBox(std::string_view text, std::string_view caption, std::uint32_t flags) override;
    void setCaption(std::string_view control, std::string_view text) override;
    std::string caption(std::string_view control) const override;
    void setForeColor(std::string_view control, ui::Color color) override;
    ui::Color foreColor(std::string_view control) const override;
    void setBackColor(std::string_view control, ui::Color color) override;
    ui::Color backColor(std::string_view control) const override;
    void setFontSize(std::string_view control, int points) override;
    int fontSize(std::string_view control) const override;
    void setBounds(std::string_view control, ui::Rect r) override;  // twips in the dialog's client area
    ui::Rect bounds(std::string_view control) const override;
    void setEnabled(std::string_view control, bool on) override;
    bool enabled(std::string_view control) const override;
    void setVisible(std::string_view control, bool on) override;
    bool isVisible(std::string_view control) const override;
    int value(std::string_view control) const override;
    void clearList(std::string_view control) override;
    void addItem(std::string_view control, std::string_view item) override;
    int listCount(std::string_view control) const override;
    std::string listItem(std::string_view control, int index) const override;
    int listIndex(std::string_view control) const override;
    void setFocus(std::string_view control) override;
    void setHelpContext(std::string_view control, std::uint32_t id) override;
    std::string className(std::string_view control) const override;
    std::vector<std::string> controlNames() const override;
    void close() override;
    void endDialog(int result) override;
    ui::TextBox& textBox(std::string_view name) override;
    ui::ListView& listView(std::string_view name) override;
    ui::TreeView& treeView(std::string_view name) override;
    ui::ImageList& imageList(std::string_view name) override;
    ui::ImageControl& image(std::string_view name) override;
    ui::Font& font(std::string_view name) override;

protected:
    void storeValue(std::string_view control, int value) override;
    void storeListIndex(std::string_view control, int index) override;

private:
    struct Colors {
        ui::Color fore = 0, back = 0;
        bool hasFore = false, hasBack = false;
        UniqueBrush brush;
    };

    static INT_PTR CALLBACK dialogProc(HWND h, UINT m, WPARAM w, LPARAM l);
    INT_PTR handle(UINT m, WPARAM w, LPARAM l);
    INT_PTR initDialog();
    void command(int id, int code, HWND from);
    INT_PTR controlColor(HDC dc, HWND control);
    bool hasControl(std::string_view name) const override { return find(name) != nullptr; }
    const ControlBinding* find(std::string_view name) const;
    // The binding of a name the logic uses; a name without one is reported.
    const ControlBinding* binding(std::string_view name) const;
    const ControlBinding* bindingOf(int id) const;
    HWND item(std::string_view name) const;
    bool isList(const ControlBinding* b) const;
    bool isComboBox(const ControlBinding* b) const { return b && b->designClass == "ComboBox"; }
    static COLORREF resolve(ui::Color c);
    void destroyNow();
    void fitToDesignBaseUnits();
    POINT containerOrigin(const ControlBinding* b) const;  // client pixels
    RECT clientRect(HWND control) const;
    void moveContents(std::string_view frame, int dx, int dy);

    int templateId_;
    std::vector<ControlBinding> controls_;
    bool modal_ = false;
    bool loading_ = false, closeAfterLoad_ = false, showAfterLoad_ = false;
    int designBaseX_ = 0, designBaseY_ = 0;
    int iconId_ = 0;
    std::map<std::string, Colors, std::less<>> colors_;
    std::map<std::string, std::uint32_t, std::less<>> helpContexts_;
    std::map<std::string, UniqueFont, std::less<>> fonts_;
    std::map<std::string, int, std::less<>> fontSizes_;
    std::unique_ptr<ControlTable> kinds_;  // built anew for each window
    WhatsThisMode whatsThis_;
    int result_ = 0;
};

}  // namespace vantora::win32
