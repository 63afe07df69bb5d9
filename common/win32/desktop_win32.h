#pragma once
#include <windows.h>

#include <vector>

#include "common/ports/screen.h"
#include "common/ports/window_manager.h"
#include "common/ports/tray.h"
#include "common/ports/help.h"
#include "common/win32/owners.h"
#include "common/win32/window_identity.h"

namespace vantora::win32 {

inline HWND toHwnd(WindowHandle h) { return windowFromNumber(h); }
inline WindowHandle fromHwnd(HWND h) { return numberOfWindow(h); }

class Win32Screen : public ScreenPort {
public:
    int GetSystemMetrics(int index) override { return ::GetSystemMetrics(index); }
    int screenDeviceCaps(int index) override {
        WindowDc screen(nullptr, true);
        return screen ? ::GetDeviceCaps(screen.get(), index) : 0;
    }
};

class Win32Windows : public WindowManagerPort {
public:
    bool SetWindowPos(WindowHandle w, WindowHandle after, int x, int y, int cx, int cy, std::uint32_t f) override {
        return ::SetWindowPos(toHwnd(w), toHwnd(after), x, y, cx, cy, f) != 0;
    }
    // A window of this thread answers as ::ShowWindow does (was it visible before?). For
    // any other window the request is queued to its own thread and the answer is only
    // whether that worked: a hung or hostile program must not freeze ours.
    bool ShowWindow(WindowHandle w, int cmd) override;
    bool SetForegroundWindow(WindowHandle w) override { return ::SetForegroundWindow(toHwnd(w)) != 0; }
    WindowHandle GetForegroundWindow() override { return fromHwnd(::GetForegroundWindow()); }
    bool IsIconic(WindowHandle w) override { return ::IsIconic(toHwnd(w)) != 0; }
    bool IsWindow(WindowHandle w) override { return ::IsWindow(toHwnd(w)) != 0; }
};

class Win32Tray : public TrayPort {
public:
    // The message number is the session's: asked once, not for every message the window sees.
    explicit Win32Tray(HICON icon) : icon_(icon), taskbarCreated_(::RegisterWindowMessageA("TaskbarCreated")) {}
    bool add(const TrayIconRecord& r) override;
    bool remove(const TrayIconRecord& r) override;
    std::uint32_t taskbarCreatedMessage() override { return taskbarCreated_; }

    // While held, icons to add wait, so that a starting program shows its window first;
    // release() adds them.
    void hold() { held_ = true; }
    void release();

private:
    bool call(DWORD what, const TrayIconRecord& r);
    HICON icon_;
    UINT taskbarCreated_;
    bool held_ = false;
    std::vector<TrayIconRecord> waiting_;
};

class Win32Help : public HelpPort {
public:
    explicit Win32Help(HWND owner) : owner_(owner) {}
    void showContext(const std::string& file, std::uint32_t context) override {
        ::WinHelpA(owner_, file.c_str(), HELP_CONTEXT, context);
    }
    void showContents(const std::string& file) override { ::WinHelpA(owner_, file.c_str(), HELP_CONTENTS, 0); }
    void showContextPopup(const std::string& file, std::uint32_t context) override;
    void setOwner(HWND owner) { owner_ = owner; }

private:
    HWND owner_;
};

// Libraries are never taken from the current directory.
void restrictDllSearch();

}  // namespace vantora::win32
