#pragma once
// The launcher's windows: the main window with its labels and menus, and the dialogs on
// their templates, opened and reached as the logic asks.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/ports/common_module.h"
#include "common/ports/file_dialog.h"
#include "common/ports/version_info.h"
#include "common/ports/shell_folders.h"
#include "common/win32/desktop_win32.h"
#include "common/win32/dialog_window.h"
#include "common/win32/main_form_window.h"
#include "launcher/form2.h"
#include "launcher/form3.h"
#include "launcher/form4.h"
#include "launcher/form6.h"
#include "launcher/form7.h"
#include "launcher/frm_about.h"

namespace vantora::launcher {

// The main window, created hidden, with a caption on each key; none when it could not be made.
std::unique_ptr<win32::MainFormWindow> makeForm1(HINSTANCE instance);

// What a second copy may bring back: only the first copy's main window. After a crash the
// published number may name a window of any other program.
class FirstCopyWindow : public win32::Win32Windows {
public:
    bool ShowWindow(WindowHandle w, int command) override { return ours(w) && Win32Windows::ShowWindow(w, command); }
    bool SetForegroundWindow(WindowHandle w) override { return ours(w) && Win32Windows::SetForegroundWindow(w); }

private:
    static bool ours(WindowHandle w);
};

class KeyloomForms : public LauncherForms {
public:
    struct Context {
        HINSTANCE instance;
        LauncherState& state;
        Store& store;
        win32::FormWindow& form1;
        WindowManagerPort& windows;
        HelpPort& help;
        FileSystemPort& files;
        FileDialogPort& fileDialog;
        CommonModulePort& commonModule;
        ShellFoldersPort& shellFolders;
        // The main window's: it names the file when it loads, after the dialogs' host exists.
        const std::string& helpFile;
        const LanguagePorts& language;
        VersionInfoPort& version;
    };
    explicit KeyloomForms(Context context);
    ~KeyloomForms() override;

    // Assignment Type: modal over the main window, or modeless without an owner. An open
    // one is brought forward instead: its modal loop may still be running.
    void showForm2();  // "Function Key Assignments", modal over the main window
    void showForm3(bool modal) override;
    // frmAbout, modal without an owner; an open one is brought forward.
    void showAbout();

    void showForm4(const Prepare& prepare) override;
    void showForm6(const std::string& mode) override;
    void showForm7(const Prepare& prepare) override;
    ui::View* openForm(std::string_view name) override;
    void enableMainWindow() override;

    struct Dialog;

private:
    // A dialog of a kind replaces the one before it only once that one is closed; the
    // object stays alive until no modal loop of ours can still be running on it.
    Dialog& fresh(std::unique_ptr<Dialog>& slot, int templateId, const char* name,
                  std::vector<win32::ControlBinding> controls);
    template <class Form, class... Extra>
    Dialog& make(std::unique_ptr<Dialog>& slot, int templateId, const char* name,
                 std::vector<win32::ControlBinding> controls, Extra&... extra);
    void showModal(Dialog& dialog, const Prepare& prepare);
    // aboveKeyList: one of those that may open over the key list, which is not counted.
    bool modalDialogOpen(bool aboveKeyList) const;
    void settleMainWindow();

    Context c_;
    std::unique_ptr<Dialog> form2_, form3_, form4_, form6_, form7_, about_;
    std::vector<std::unique_ptr<Dialog>> retired_;
    int modalDepth_ = 0;
    bool form3Modal_ = false;
};

}  // namespace vantora::launcher
