#pragma once
// How the launcher's dialogs open and reach one another. The program's host does it
// with windows; the tests do it with test views.
#include <functional>
#include <string>
#include <string_view>

#include "common/ui/view.h"

namespace vantora::launcher {

// The Application Explorer's two modes.
inline constexpr char kExplorerPopup[] = "Popup";
inline constexpr char kExplorerApplication[] = "Application";

class LauncherForms {
public:
    using Prepare = std::function<void(ui::View&)>;
    virtual ~LauncherForms() = default;

    // Each shows its dialog modally, owned by the main window. `prepare` runs once the
    // dialog has loaded and before it shows, as setting a control of a form that is not
    // loaded yet first loads it.
    // "Assignment Type": modal over the main window, or modeless without an owner.
    virtual void showForm3(bool modal) = 0;
    virtual void showForm4(const Prepare& prepare) = 0;   // "Add/Edit Command"
    virtual void showForm6(const std::string& mode) = 0;  // the Application Explorer
    virtual void showForm7(const Prepare& prepare) = 0;   // "Key Assignment Confirmation"

    // The view of a dialog that is open ("Form2", "Form3", "Form4", "Form6"); none when it is not.
    virtual ui::View* openForm(std::string_view name) = 0;
    virtual void enableMainWindow() = 0;

    void closeForm(std::string_view name) {
        if (ui::View* form = openForm(name)) form->close();
    }
};

}  // namespace vantora::launcher
