#pragma once
// What the Win32 test programs share: bounded waits that keep the thread's windows
// answering, child processes that never outlive a test, scratch folders and keys.
#include <windows.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace vantora::testing {

// Polls until done() or the deadline; dispatches this thread's messages meanwhile,
// so that windows of the test itself receive what other processes post them.
inline bool waitFor(const std::function<bool()>& done, int ms = 10000) {
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

inline std::string programFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string s(path);
    return s.substr(0, s.rfind('\\'));
}

inline void deleteTree(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyA(root, path.c_str(), &key) != ERROR_SUCCESS) return;
    char name[256];
    while (RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS) deleteTree(root, path + "\\" + name);
    RegCloseKey(key);
    RegDeleteKeyA(root, path.c_str());
}

inline bool writeDword(HKEY root, const char* path, const char* name, DWORD value) {
    HKEY key;
    if (RegCreateKeyA(root, path, &key) != ERROR_SUCCESS) return false;
    const LONG rc = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

inline void deleteValue(HKEY root, const char* path, const char* name) {
    HKEY key;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

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
        HANDLE h = FindFirstFileA((path + "\\*").c_str(), &f);
        if (h != INVALID_HANDLE_VALUE) {
            do DeleteFileA((path + "\\" + f.cFileName).c_str());
            while (FindNextFileA(h, &f));
            FindClose(h);
        }
        RemoveDirectoryA(path.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string file(const char* name) const { return path + "\\" + name; }

    std::string path;
};

// A child process; one still running when the owner goes is killed.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() {
        if (!info_.hProcess) return;
        if (!ended(0)) TerminateProcess(info_.hProcess, 1), ended(5000);
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool start(const std::string& exe, const std::string& arguments = "") {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string cmd = "\"";
        cmd.append(exe).append("\" ").append(arguments);
        return CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_) != 0;
    }
    bool ended(DWORD ms) const { return WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0; }
    DWORD exitCode() const {
        DWORD code = 0xDEADDEAD;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }
    bool started() const { return info_.hProcess != nullptr; }
    DWORD id() const { return info_.dwProcessId; }

private:
    PROCESS_INFORMATION info_{};
};

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
