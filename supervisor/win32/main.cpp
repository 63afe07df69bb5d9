// BASTIONE: the Win32 host of the supervisor password utility. Wiring only: the
// windows come from the resource script and forms.cpp, the behaviour from the portable logic.
#include <windows.h>

#include "common/win32/common_module_win32.h"
#include "common/win32/desktop_win32.h"
#include "common/win32/firmware_device_win32.h"
#include "common/win32/guarded.h"
#include "common/win32/keyboard_win32.h"
#include "common/win32/os_version_win32.h"
#include "common/win32/power_win32.h"
#include "common/win32/program_folder.h"
#include "common/win32/single_copy_win32.h"
#include "common/win32/string_library_win32.h"
#include "supervisor/supervisor.h"
#include "supervisor/win32/forms.h"

namespace {

using namespace vantora;
using namespace vantora::supervisor;

constexpr char kSingleCopyMutex[] = "Vantora.BASTIONE.SingleCopy";

int run(HINSTANCE instance) {
    win32::restrictDllSearch();
    win32::enterProgramFolder();

    win32::Win32CommonModule commonModule;
    win32::Win32Windows windows;
    win32::Win32SingleCopy instances(kSingleCopyMutex, win32::SingleCopyBoundary::Administrators);
    win32::Win32Power power;
    win32::Win32Keyboard keyboard;
    win32::Win32FirmwareDevice device;
    win32::Win32OsVersion osVersion;
    win32::Win32SmiDll smiDll;
    win32::Win32Screen screen;
    win32::Win32StringLibrary libraries(win32::programFolder());

    const auto window = makeSupervisorWindow(instance);
    BastioneForms forms(instance, *window, commonModule, keyboard);
    Supervisor supervisor(*window, {commonModule, windows, instances, power, {device, osVersion, &smiDll}, {libraries, screen}}, forms);
    forms.attach(supervisor);
    window->onLoad = [&] { supervisor.Form_Load(); };
    // Closing the main window, whichever way, ends the program.
    window->onClosed = [] { PostQuitMessage(0); };
    if (!window->createModeless(nullptr)) return 0;
    window->show();
    SetForegroundWindow(window->hwnd());
    return win32::DialogWindow::runMessageLoop();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return win32::guarded(1, [=] { return run(instance); });
}
