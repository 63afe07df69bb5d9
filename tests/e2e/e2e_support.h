#pragma once
// What the end-to-end tests share: bounded waits, the registry as the tests see it,
// and the programs they start (killed when the test is done with them).
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace vantora::e2e {

using Bytes = std::vector<BYTE>;
constexpr char kMaker[] = "Software\\Vantora";
constexpr char kCfg[] = "Software\\Vantora\\Keyloom\\ini\\cfg";
constexpr char kCmd[] = "Software\\Vantora\\Keyloom\\ini\\cmd";
constexpr char kReserve[] = "Software\\Vantora\\Keyloom\\KeyReserve";
constexpr char kOpts[] = "Software\\Vantora\\Keyloom\\ini\\opts";
constexpr char kPrg[] = "Software\\Vantora\\Keyloom\\prg";
constexpr UINT kTrayMessage = 0x464;

inline bool waitFor(const std::function<bool()>& done, int ms = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

inline bool readValue(HKEY root, const char* path, const char* name, DWORD* type, Bytes* data) {
    HKEY key;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        data->assign(size, 0xCC);
        rc = RegQueryValueExA(key, name, nullptr, type, data->data(), &size);
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

inline void writeValue(HKEY root, const char* path, const char* name, DWORD type, const Bytes& data) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(root, path, &key));
    // One spare non-zero byte after the data keeps the registry from adding a terminator.
    Bytes buffer = data;
    buffer.push_back('#');
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, buffer.data(), static_cast<DWORD>(data.size())));
    RegCloseKey(key);
}

inline void writeText(HKEY root, const char* path, const char* name, const std::string& text) {
    Bytes data(text.begin(), text.end());
    data.push_back(0);
    writeValue(root, path, name, REG_SZ, data);
}

inline void deleteTree(HKEY root, const char* path) {
    HKEY key;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS) return;
    char name[512];
    while (RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS) {
        const std::string child = std::string(path) + "\\" + name;
        deleteTree(root, child.c_str());
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, path);
}

inline std::string programPath(const char* exe) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.rfind('\\') + 1) + exe;
}

inline HWND publishedWindow() {
    DWORD type = 0;
    Bytes data;
    if (!readValue(HKEY_CURRENT_USER, kMaker, "Keyloom", &type, &data) || type != REG_DWORD || data.size() != 4)
        return nullptr;
    DWORD h;
    memcpy(&h, data.data(), 4);
    return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(h));
}

struct Process {
    PROCESS_INFORMATION info{};
    bool start(const std::string& exe, const std::string& arguments = "") {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string cmd = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
        return CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info);
    }
    bool exited(int ms) { return WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0; }
    DWORD exitCode() {
        DWORD code = 0xDEAD;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
    ~Process() {
        if (info.hProcess) {
            if (!exited(0)) TerminateProcess(info.hProcess, 1);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
};

}  // namespace vantora::e2e
