#pragma once
// BASTIONE's windows on their templates: the binding tables and the dialog host set-up.
#include <windows.h>

#include <functional>
#include <memory>

#include "common/ports/common_module.h"
#include "common/ports/keyboard.h"
#include "common/win32/dialog_window.h"
#include "supervisor/supervisor.h"

namespace vantora::supervisor {

// The main window, not yet created.
std::unique_ptr<win32::DialogWindow> makeSupervisorWindow(HINSTANCE instance);

// The two dialogs, each made anew for every showing and shown modally over the main
// window; the logic object lives exactly as long as its window's showing.
class BastioneForms final : public SupervisorForms {
public:
    BastioneForms(HINSTANCE instance, win32::DialogWindow& mainWindow, CommonModulePort& commonModule,
                  KeyboardPort& keyboard)
        : instance_(instance), mainWindow_(mainWindow), commonModule_(commonModule), keyboard_(keyboard) {}

    void attach(Supervisor& main) { main_ = &main; }

    void showSSPwdRegister() override;
    void showUserPwdMode() override;

private:
    void show(win32::DialogWindow& view, std::function<void()> load);

    HINSTANCE instance_;
    win32::DialogWindow& mainWindow_;
    CommonModulePort& commonModule_;
    KeyboardPort& keyboard_;
    Supervisor* main_ = nullptr;
};

}  // namespace vantora::supervisor
