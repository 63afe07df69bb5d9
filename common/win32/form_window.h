#pragma once
// The Win32 host of a form: a window as the logic sees it through ui::View. It holds
// what every form has whether it comes from a dialog template (DialogWindow) or from a
// window class of its own (MainFormWindow): caption, geometry in twips, window state,
// owner and visibility, tags and tooltip texts, message boxes, help, closing, and a
// window procedure put in front of its own.
//
// The window finds its object through itself (GWLP_USERDATA, set from the creation
// parameter); there is no global form pointer. No exception leaves a window procedure.
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/ui/view.h"
#include "common/win32/owners.h"

namespace vantora::win32 {

// A form that is a window class of its own rather than a dialog template.
struct WindowClassSpec {
    const char* className;
    std::string caption;
    DWORD style = WS_OVERLAPPEDWINDOW;
    int menuId = 0;  // the menu bar resource; 0 for none
    int iconId = 0;
    HBRUSH background = nullptr;
    int width = CW_USEDEFAULT, height = CW_USEDEFAULT;  // pixels, until the logic sizes it
};

class FormWindow : public ui::View, public ui::WindowProcedureHost {
public:
    FormWindow(HINSTANCE instance, std::string formName);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // Creates the form as a window of its own class, hidden. Events reach the logic from
    // the moment this returns.
    bool createWindow(const WindowClassSpec& windowClass);

    // Raised once the window has gone, however it was closed.
    std::function<void()> onClosed;

    HWND hwnd() const { return hwnd_; }
    bool isOpen() const { return hwnd_ != nullptr; }
    const std::string& formName() const { return formName_; }

    // The thread's message loop: keyboard navigation and Esc reach modeless dialogs.
    // Returns the WM_QUIT code.
    static int runMessageLoop();

    // --- ui::View
    std::uint32_t windowHandle() const override;
    void setCaption(std::string_view control, std::string_view text) override;
    std::string caption(std::string_view control) const override;
    void setForeColor(std::string_view control, ui::Color color) override;
    ui::Color foreColor(std::string_view control) const override;
    void setFontSize(std::string_view control, int points) override;
    int fontSize(std::string_view control) const override;
    void setBounds(std::string_view control, ui::Rect r) override;
    ui::Rect bounds(std::string_view control) const override;
    void setTag(std::string_view control, std::string_view tag) override;
    std::string tag(std::string_view control) const override;
    void setToolTip(std::string_view control, std::string_view text) override;
    std::string toolTip(std::string_view control) const override;
    void setChecked(std::string_view menuItem, bool checked) override;
    bool checked(std::string_view menuItem) const override;
    void setHelpContext(std::string_view control, std::uint32_t id) override;
    void setVisible(std::string_view control, bool on) override;
    bool isVisible(std::string_view control) const override;
    void setEnabled(std::string_view control, bool on) override;
    bool enabled(std::string_view control) const override;
    int messageBox(std::string_view text, std::string_view caption, std::uint32_t flags) override;
    void close() override;

    ui::WindowState windowState() const override;
    void setWindowState(ui::WindowState state) override;
    void show() override;
    void hide() override;
    bool visible() const override;
    ui::Rect formBounds() const override;
    void moveForm(int left, int top) override;
    void resizeForm(int width, int height) override;
    int twipsPerPixelX() const override;
    int twipsPerPixelY() const override;

    // --- ui::WindowProcedureHost
    void replaceWindowProc(Procedure procedure) override;
    void restoreWindowProc() override;
    ui::MessageResult callPreviousWindowProc(std::uint32_t window, std::uint32_t message, ui::MessageParam wParam,
                                             ui::MessageParam lParam) override;

protected:
    // Binds the window to this object; from then on it finds us through GWLP_USERDATA.
    void attach(HWND window);
    void detach();
    // What every form answers alike; nothing when the message is not a form's business.
    virtual std::optional<LRESULT> handleFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The help topic of a menu item, by command id; 0 for none.
    virtual std::uint32_t menuHelpContext(int) const { return 0; }
    int dpi() const { return dpi_; }
    bool isForm(std::string_view name) const { return name.empty() || name == formName_; }
    // Whether the window has a control, menu item or label of this design name.
    virtual bool hasControl(std::string_view) const { return false; }
    // A name the logic uses that the window does not have is a misspelt design name, and
    // it would act on nothing without a word: it is reported, once per form and name.
    void checkName(std::string_view name) const;
    static std::vector<HWND>& modelessDialogs();
    // A message whose parameter points into its sender's memory (WM_NOTIFY, WM_HELP) is
    // only ours when it comes from this thread: our controls and the system send them so.
    // Any other process may send them too, and its pointer is nothing this one may read.
    static bool sentFromAnotherThread() { return ::InSendMessageEx(nullptr) != ISMEX_NOSEND; }

    HINSTANCE instance_;
    std::string formName_;
    HWND hwnd_ = nullptr;
    bool closing_ = false;

private:
    static LRESULT CALLBACK windowProc(HWND h, UINT m, WPARAM w, LPARAM l);
    static LRESULT CALLBACK subclassProc(HWND h, UINT m, WPARAM w, LPARAM l);
    static FormWindow* of(HWND h);

    bool created_ = false;
    int dpi_ = 96;
    std::map<std::string, std::string, std::less<>> tags_, toolTips_;
    // The window procedure in front of the window's own.
    Procedure procedure_;
    WNDPROC previous_ = nullptr;
};

}  // namespace vantora::win32
