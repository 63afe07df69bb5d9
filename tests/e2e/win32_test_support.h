#pragma once
// What the Win32 test programs share: bounded waits that keep the thread's windows
// answering, child processes that never outlive a test, scratch folders, and the
// registry as the tests read and write it.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/fakes/registry_tree.h"
#include "common/win32/window_identity.h"
#include "common/win32/owners.h"
#include "common/win32/registry_win32.h"
#include "launcher/launcher_constants.h"
#include "tests/e2e/debug_output.h"

namespace vantora::testing {

using Bytes = std::vector<BYTE>;

// Every program a test drives reports a design name its window lacks on the debug
// output; any such report fails the test program, with the names.
class UnknownNamesCheck : public ::testing::Environment {
public:
    void SetUp() override { output_ = std::make_unique<DebugOutput>(); }
    void TearDown() override {
        for (const std::string& line : output_->linesWith("has no control named")) ADD_FAILURE() << line;
        output_.reset();
    }

private:
    std::unique_ptr<DebugOutput> output_;
};
inline ::testing::Environment* const kUnknownNamesCheck = ::testing::AddGlobalTestEnvironment(new UnknownNamesCheck);

// Polls until done() or the deadline; dispatches this thread's messages meanwhile,
// so that windows of the test itself receive what other processes post or send them.
inline bool waitFor(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Lets posted messages arrive for a while: for checking that nothing more comes.
inline void pumpFor(int ms) {
    waitFor([] { return false; }, ms);
}

// Keys as the keyboard sends them, modifiers held around the last one; then a pause for
// the window to act on them.
inline void keys(std::initializer_list<WORD> held, WORD vk, int settleMs = 150) {
    const auto send = [](WORD k, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = k;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(k, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &in, sizeof in);
        pumpFor(40);
    };
    for (WORD h : held) send(h, false);
    send(vk, false);
    send(vk, true);
    for (WORD h : held) send(h, true);
    pumpFor(settleMs);
}

inline std::string programFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string s(path);
    return s.substr(0, s.rfind('\\'));
}

// A program built beside this one.
inline std::string programPath(const char* exe) { return programFolder() + "\\" + exe; }

// A path as a command line names it.
inline std::string quoted(const std::string& path) {
    std::string s(1, '"');
    return s.append(path).append(1, '"');
}

// ---- the registry, through the adapter the programs use (held to Windows' behaviour
// by the contract tests), so that scratch trees and exact writes have one home

inline RegistryPort& registry() {
    static win32::Win32Registry adapter;
    return adapter;
}

inline RegHandle regHandle(HKEY root) { return static_cast<RegHandle>(reinterpret_cast<std::uintptr_t>(root)); }

inline ScopedRegKey openKey(HKEY root, const char* path) {
    return ScopedRegKey::open(registry(), regHandle(root), path);
}

// Removes a scratch tree whole, through the one tree removal every test against a real
// registry uses; a missing tree is not an error.
inline void deleteTree(HKEY root, const std::string& path) {
    vantora::deleteKeyTree(registry(), regHandle(root), path);
}

// The value's type and exactly the bytes stored; false when it cannot be read.
inline bool readValue(HKEY root, const char* path, const char* name, DWORD* type, Bytes* data) {
    const ScopedRegKey key = openKey(root, path);
    if (!key) return false;
    std::uint32_t stored = 0, size = 0;
    long rc = registry().RegQueryValueExA(key.get(), name, &stored, nullptr, &size);
    if (rc == kErrorSuccess) {
        data->assign(size, 0xCC);
        rc = registry().RegQueryValueExA(key.get(), name, &stored, data->data(), &size);
        data->resize(size);
    }
    *type = stored;
    return rc == kErrorSuccess;
}

// Stores exactly these bytes, terminator or not; a failed write fails the test.
// A stored text up to its first zero; empty when the value cannot be read.
inline std::string readText(HKEY root, const char* path, const char* name) {
    DWORD type = 0;
    Bytes data;
    if (!readValue(root, path, name, &type, &data)) return {};
    const auto end = std::find(data.begin(), data.end(), 0);
    return std::string(data.begin(), end);
}

inline bool writeValue(HKEY root, const char* path, const char* name, DWORD type, const Bytes& data) {
    const ScopedRegKey key = ScopedRegKey::create(registry(), regHandle(root), path);
    if (!key) {
        ADD_FAILURE() << "cannot create " << path;
        return false;
    }
    const long rc = setExactValue(registry(), key.get(), name, type, data);
    if (rc != kErrorSuccess) ADD_FAILURE() << "writing " << path << "\\" << name << " failed: " << rc;
    return rc == kErrorSuccess;
}

// The text with its terminator, as the programs store strings.
inline bool writeText(HKEY root, const char* path, const char* name, const std::string& text) {
    Bytes data(text.begin(), text.end());
    data.push_back(0);
    return writeValue(root, path, name, REG_SZ, data);
}

inline bool writeDword(HKEY root, const char* path, const char* name, DWORD value) {
    Bytes data(sizeof value);
    std::memcpy(data.data(), &value, sizeof value);
    return writeValue(root, path, name, REG_DWORD, data);
}

inline void deleteValue(HKEY root, const char* path, const char* name) {
    if (const ScopedRegKey key = openKey(root, path)) registry().RegDeleteValueA(key.get(), name);
}

// The window Keyloom publishes for the hotkey service; null while none is published.
inline HWND publishedWindow() {
    DWORD type = 0;
    Bytes data;
    if (!readValue(HKEY_CURRENT_USER, launcher::kMakerKey, launcher::kPublishedValue, &type, &data) ||
        type != REG_DWORD || data.size() != 4)
        return nullptr;
    DWORD h;
    std::memcpy(&h, data.data(), 4);
    return vantora::win32::windowFromNumber(h);
}

// ---- windows of other threads

// Registers a window class of this program; one registered before is fine.
inline bool registerClass(const char* name, WNDPROC proc = DefWindowProcA) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// A hidden top-level window of a registered class, owned by a thread of its own that
// either pumps its messages or, hung, looks at none until the owner goes.
class WindowThread {
public:
    WindowThread(const char* className, bool pumps) : release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        const win32::UniqueHandle ready(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        thread_ = std::thread([this, className, pumps, &ready] {
            const win32::UniqueWindow window(CreateWindowExA(0, className, "probe", WS_POPUP, 0, 0, 10, 10, nullptr,
                                                             nullptr, GetModuleHandleA(nullptr), nullptr));
            window_ = window.get();
            SetEvent(ready.get());
            if (!pumps) {
                WaitForSingleObject(release_.get(), INFINITE);
                return;
            }
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        });
        WaitForSingleObject(ready.get(), 10000);
    }
    ~WindowThread() {
        SetEvent(release_.get());
        PostMessageA(window_, WM_QUIT, 0, 0);
        thread_.join();
    }
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;
    HWND window() const { return window_; }

private:
    win32::UniqueHandle release_;
    HWND window_ = nullptr;
    std::thread thread_;
};

struct WindowQuery {
    DWORD process;
    const char* className;
    HWND found = nullptr;
};

inline BOOL CALLBACK matchWindow(HWND w, LPARAM data) {
    auto* q = reinterpret_cast<WindowQuery*>(data);
    char name[64] = {};
    DWORD process = 0;
    GetClassNameA(w, name, sizeof name);
    GetWindowThreadProcessId(w, &process);
    if (process != q->process || lstrcmpiA(name, q->className) != 0) return TRUE;
    q->found = w;
    return FALSE;
}

// A top-level window of this class in that process; null while there is none.
inline HWND topWindowOf(DWORD process, const char* className) {
    WindowQuery q{process, className};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

struct Found {
    std::string title;
    std::set<HWND> windows;
};

inline BOOL CALLBACK collectByTitle(HWND w, LPARAM p) {
    auto* f = reinterpret_cast<Found*>(p);
    char title[128] = {};
    GetWindowTextA(w, title, sizeof title);
    if (IsWindowVisible(w) && std::string(title).rfind(f->title, 0) == 0) f->windows.insert(w);
    return TRUE;
}

// Visible top-level windows whose title begins with `prefix`.
inline std::set<HWND> windowsTitled(const std::string& prefix) {
    Found f{prefix, {}};
    EnumWindows(&collectByTitle, reinterpret_cast<LPARAM>(&f));
    return f.windows;
}

// The one such window; null while there is none or several.
inline HWND onlyWindowTitled(const std::string& prefix) {
    const auto all = windowsTitled(prefix);
    return all.size() == 1 ? *all.begin() : nullptr;
}

// ---- dialogs of other programs

struct DialogQuery {
    DWORD process;
    std::string caption;  // empty: any
    int childId;          // 0: any
    HWND found = nullptr;
};

inline BOOL CALLBACK matchDialog(HWND w, LPARAM data) {
    auto* q = reinterpret_cast<DialogQuery*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    // Only then the text: for a window of another thread of this program, GetWindowText
    // sends a message, and a test's own hung window would never answer it.
    if (process != q->process || !IsWindowVisible(w)) return TRUE;
    char cls[32] = {}, text[128] = {};
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, text, sizeof text);
    if (std::string(cls) != "#32770" || (!q->caption.empty() && q->caption != text)) return TRUE;
    if (q->childId && !GetDlgItem(w, q->childId)) return TRUE;
    q->found = w;
    return FALSE;
}

// A visible dialog of that process with this caption (any when empty) and, unless
// childId is 0, a control of that id; null while there is none.
inline HWND dialogOf(DWORD process, const std::string& caption, int childId = 0) {
    DialogQuery q{process, caption, childId};
    EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

inline BOOL CALLBACK collectStaticText(HWND w, LPARAM data) {
    char cls[32] = {}, text[256] = {};
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, text, sizeof text);
    if (lstrcmpiA(cls, "Static") == 0) *reinterpret_cast<std::string*>(data) += text;
    return TRUE;
}

// The message box that process shows under this title: its text, after which it is
// answered with `answer`; "(no message box)" when none came in time. Message boxes are
// told from a program's own dialogs by the standard id of the answer's button.
inline std::string answerMessage(DWORD process, const char* title, int answer = IDOK) {
    HWND box = nullptr;
    if (!waitFor([&] { return (box = dialogOf(process, title, answer)) != nullptr; }, 30000)) return "(no message box)";
    std::string text;
    EnumChildWindows(box, collectStaticText, reinterpret_cast<LPARAM>(&text));
    PostMessageA(box, WM_COMMAND, answer, 0);
    waitFor([&] { return !IsWindow(box); }, 10000);
    return text;
}

// ---- controls of other programs

// Memory in another process, for the list and tree view messages that carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HWND w, size_t size) {
        DWORD id = 0;
        GetWindowThreadProcessId(w, &id);
        process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id));
        if (process_) at = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (at) VirtualFreeEx(process_.get(), at, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    bool put(size_t offset, const void* data, size_t n) {
        return WriteProcessMemory(process_.get(), static_cast<char*>(at) + offset, data, n, nullptr) != FALSE;
    }
    bool get(size_t offset, void* data, size_t n) const {
        return ReadProcessMemory(process_.get(), static_cast<char*>(at) + offset, data, n, nullptr) != FALSE;
    }

    void* at = nullptr;

private:
    vantora::win32::UniqueHandle process_;
};

// The texts of the nodes from `first` on, siblings in their order, read from Keyloom's
// own tree view.
inline std::vector<std::string> nodeTexts(HWND tree, HTREEITEM first) {
    std::vector<std::string> texts;
    RemoteBuffer remote(tree, sizeof(TVITEMA) + MAX_PATH);
    if (!remote.at) return texts;
    for (auto item = first; item;
         item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        TVITEMA query{};
        query.mask = TVIF_TEXT;
        query.hItem = item;
        query.pszText = static_cast<char*>(remote.at) + sizeof query;
        query.cchTextMax = MAX_PATH;
        char text[MAX_PATH] = {};
        if (!remote.put(0, &query, sizeof query) || !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.at)) ||
            !remote.get(sizeof query, text, MAX_PATH))
            break;
        texts.emplace_back(text);
    }
    return texts;
}

// The texts of the tree's top-level nodes, in their order.
inline std::vector<std::string> topNodes(HWND tree) {
    return nodeTexts(tree, reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
}

struct Row {
    std::string text;
    int picture = -1;
    bool operator==(const Row&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Row& r) { return out << '"' << r.text << "\" #" << r.picture; }

// The rows the user sees in a list view of Keyloom's, with each row's picture (-1 for none).
inline std::vector<Row> rowsOf(HWND list) {
    constexpr size_t kTextMax = 40000;
    std::vector<Row> rows;
    RemoteBuffer remote(list, sizeof(LVITEMA) + kTextMax);
    if (!remote.at) return rows;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = static_cast<char*>(remote.at) + sizeof item;
        item.cchTextMax = kTextMax;
        std::string text(kTextMax, '\0');
        if (!remote.put(0, &item, sizeof item) || !SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.at)) ||
            !remote.get(0, &item, sizeof item) || !remote.get(sizeof item, text.data(), kTextMax))
            break;
        rows.push_back({text.c_str(), item.iImage});
    }
    return rows;
}

// ---- files and processes

// A folder of this process's own under the temporary folder, removed with its files.
class TempFolder {
public:
    explicit TempFolder(const char* name) {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        path = std::string(base) + name + "-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path.c_str(), nullptr);
    }
    ~TempFolder() {
        WIN32_FIND_DATAA f;
        if (const win32::UniqueFind found(FindFirstFileA((path + "\\*").c_str(), &f)); found) {
            do DeleteFileA((path + "\\" + f.cFileName).c_str());
            while (FindNextFileA(found.get(), &f));
        }
        RemoveDirectoryA(path.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string file(const char* name) const { return path + "\\" + name; }

    std::string path;
};

// A child process; one still running when its owner goes is ended.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { end(); }
    ChildProcess(ChildProcess&&) noexcept = default;
    ChildProcess& operator=(ChildProcess&& other) noexcept {
        if (this != &other) {
            end();
            process_ = std::move(other.process_);
            thread_ = std::move(other.thread_);
            id_ = std::exchange(other.id_, 0);
        }
        return *this;
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // With an output handle, the child inherits it as its standard output and error; a
    // directory becomes the child's current directory.
    bool start(const std::string& exe, const std::string& arguments = "", HANDLE output = nullptr,
               const std::string& directory = "") {
        end();
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (output) {
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdOutput = si.hStdError = output;
        }
        std::string cmd = quoted(exe);
        if (!arguments.empty()) cmd.append(1, ' ').append(arguments);
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, output != nullptr, 0, nullptr,
                            directory.empty() ? nullptr : directory.c_str(), &si, &info))
            return false;
        process_.reset(info.hProcess);
        thread_.reset(info.hThread);
        id_ = info.dwProcessId;
        return true;
    }
    bool ended(DWORD ms) const { return WaitForSingleObject(process_.get(), ms) == WAIT_OBJECT_0; }
    DWORD exitCode() const {
        DWORD code = 0xDEADDEAD;
        GetExitCodeProcess(process_.get(), &code);
        return code;
    }
    bool started() const { return static_cast<bool>(process_); }
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }

    // Ends a child still running with this exit code; the exit code stays readable.
    void terminate(UINT code) {
        if (process_ && !ended(0)) TerminateProcess(process_.get(), code), ended(5000);
    }
    // Lets the child run on, for one that is ended some other way.
    void detach() {
        process_.reset();
        thread_.reset();
        id_ = 0;
    }

private:
    void end() {
        terminate(1);
        detach();
    }

    win32::UniqueHandle process_, thread_;
    DWORD id_ = 0;
};

// Ends every process running one of these programs (file names) and waits for each:
// for children of other processes, which a ChildProcess never owned.
inline void endProcessesNamed(std::initializer_list<const char*> names) {
    const win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
        if (std::none_of(names.begin(), names.end(), [&](const char* n) { return lstrcmpiA(n, entry.szExeFile) == 0; }))
            continue;
        const win32::UniqueHandle p(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (p) {
            TerminateProcess(p.get(), 0);
            WaitForSingleObject(p.get(), 5000);
        }
    }
}

// A file's bytes; empty when it cannot be read.
inline std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct ProgramRun {
    DWORD exitCode = 0xDEAD;
    std::string output;  // standard output and error
};

// Runs a console program with its output in a file; a hung one is ended at the deadline.
inline ProgramRun runForOutput(const std::string& exe, const std::string& arguments, DWORD ms = 60000) {
    ProgramRun run;
    char dir[MAX_PATH];
    char file[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, "out", 0, file);
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const win32::UniqueFile out(CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
        if (!out) return run;
        ChildProcess program;
        if (program.start(exe, arguments, out.get())) {
            if (!program.ended(ms)) program.terminate(0xDEAD);
            run.exitCode = program.exitCode();
        }
    }
    run.output = fileText(file);
    DeleteFileA(file);
    return run;
}

// A shell shortcut as the shell's link object writes it (a program using it links ole32
// and uuid).
struct Link {
    std::string target, arguments, directory, description, iconPath;
    int iconIndex = 0, showCommand = SW_SHOWNORMAL;
};

inline Link linkTo(const std::string& target) {
    Link l;
    l.target = target;
    return l;
}

inline bool writeLink(const std::string& file, const Link& l) {
    const HRESULT init = CoInitialize(nullptr);
    bool ok = false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        link->SetPath(l.target.c_str());
        link->SetArguments(l.arguments.c_str());
        link->SetWorkingDirectory(l.directory.c_str());
        link->SetDescription(l.description.c_str());
        link->SetIconLocation(l.iconPath.c_str(), l.iconIndex);
        link->SetShowCmd(l.showCommand);
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            wchar_t wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
            ok = SUCCEEDED(persist->Save(wide, TRUE));
            persist->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return ok;
}

// Keyloom started (in this current directory, unless empty), with its main window
// published for the hotkey service and shown; null (and the test failed) when it did
// not come up.
inline HWND startedKeyloom(ChildProcess& keyloom, const std::string& directory = "") {
    if (!keyloom.start(programPath("Keyloom.exe"), "", nullptr, directory)) {
        ADD_FAILURE() << "Keyloom.exe did not start: " << GetLastError();
        return nullptr;
    }
    HWND window = nullptr;
    if (!waitFor([&] { return (window = publishedWindow()) != nullptr && IsWindowVisible(window); }, 60000))
        ADD_FAILURE() << "no published, visible main window";
    return window;
}

// The lines of a text file another process appends to; none while it does not exist.
inline std::vector<std::string> fileLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace vantora::testing
