// MERIDALE: the Win32 host of the Fn-StickyKey settings dialog. Wiring only: the
// window comes from the resource script and forms.cpp, the behaviour from the portable logic.
#include <windows.h>

#include "accessibility/v_accessibility.h"
#include "accessibility/win32/forms.h"
#include "common/win32/common_module_win32.h"
#include "common/win32/desktop_win32.h"
#include "common/win32/guarded.h"
#include "common/win32/program_folder.h"
#include "common/win32/single_copy_win32.h"
#include "common/win32/string_library_win32.h"
#include "common/win32/registry_win32.h"
#include "common/win32/window_messages_win32.h"

namespace {

using namespace vantora;

constexpr char kSingleCopyMutex[] = "Vantora.MERIDALE.SingleCopy";

int run(HINSTANCE instance) {
    win32::restrictDllSearch();
    win32::enterProgramFolder();

    win32::Win32Registry registry;
    win32::Win32CommonModule commonModule;
    win32::Win32Windows windows;
    win32::Win32WindowMessages messages;
    win32::Win32SingleCopy instances(kSingleCopyMutex, win32::SingleCopyBoundary::Administrators);
    win32::Win32Help help(nullptr);
    win32::Win32StringLibrary languages(win32::programFolder());
    win32::Win32Screen screen;

    const auto window = accessibility::makeAccessibilityWindow(instance);
    accessibility::VAccessibility dialog(*window, {registry, commonModule, windows, messages, instances, help, languages, screen},
                                         win32::programFolder());
    window->onLoad = [&] {
        accessibility::sizeAndCentre(window->hwnd());
        help.setOwner(window->hwnd());
        dialog.Form_Load();
    };
    // Closing the dialog, whichever way, ends the program.
    window->onClosed = [] { PostQuitMessage(0); };
    if (!window->createModeless(nullptr)) return 0;
    return win32::DialogWindow::runMessageLoop();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return win32::guarded(1, [=] { return run(instance); });
}
