// How long an Fn-key press takes to get the assigned program running, measured against
// starting the same program directly with CreateProcess. Reports, never fails.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "launcher/launcher_constants.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using namespace vantora::testing;
using namespace vantora::launcher;

constexpr LPARAM kScanA = 0x1E;
constexpr int kRounds = 7;

size_t lineCount(const std::string& file) {
    std::ifstream in(file);
    size_t n = 0;
    for (std::string line; std::getline(in, line);) n += !line.empty();
    return n;
}

double now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(f.QuadPart);
}

// Milliseconds until the probe has logged one more start; negative on a timeout.
template <typename Start>
double timeStart(const std::string& log, Start start) {
    const size_t before = lineCount(log);
    const double begin = now();
    start();
    const bool ok = waitFor([&] { return lineCount(log) > before; }, 20000);
    return ok ? now() - begin : -1;
}

void closeProbes() {
    HWND w;
    while ((w = FindWindowA("Vantora.ProbeApp", nullptr)) != nullptr) {
        PostMessageA(w, WM_CLOSE, 0, 0);
        waitFor([&] { return !IsWindow(w); }, 5000);
    }
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string log = std::string(temp) + "vantora-bench.log";
    DeleteFileA(log.c_str());
    const std::string command = quoted(programPath("probe_app.exe")) + " --log " + log + " bench";

    deleteTree(HKEY_CURRENT_USER, kMakerKey);
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-A", command);
    writeText(HKEY_CURRENT_USER, kOptsKey, "Fn-A", "0");
    writeText(HKEY_CURRENT_USER, kCfgKey, "opts3", "0");
    ChildProcess keyloom;
    HWND window = nullptr;
    if (!keyloom.start(programPath("Keyloom.exe")) ||
        !waitFor([&] { return (window = publishedWindow()) != nullptr; }, 60000)) {
        std::printf("benchmark: Keyloom did not start\n");
        return 0;
    }

    std::vector<double> direct, viaKey;
    for (int round = 0; round < kRounds; ++round) {
        direct.push_back(timeStart(log, [&] {
            ChildProcess p;
            p.start(programPath("probe_app.exe"), "--log " + log + " bench");
            p.detach();  // closeProbes ends it, as it ends the copies the key starts
        }));
        closeProbes();
        viaKey.push_back(timeStart(log, [&] { PostMessageA(window, FnKeyMessage, kFnKeyWParam, kScanA); }));
        closeProbes();
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    keyloom.ended(15000);
    deleteTree(HKEY_CURRENT_USER, kMakerKey);

    const bool timedOut = std::any_of(direct.begin(), direct.end(), [](double d) { return d < 0; }) ||
                          std::any_of(viaKey.begin(), viaKey.end(), [](double d) { return d < 0; });
    const double d = median(direct), k = median(viaKey);
    std::printf("benchmark: Fn-key press to program running: median %.1f ms over %d rounds\n", k, kRounds);
    std::printf("benchmark: CreateProcess to program running:  median %.1f ms\n", d);
    std::printf("benchmark: ratio %.2f%s\n", d > 0 ? k / d : 0.0, timedOut ? " (some rounds timed out)" : "");
    return 0;
}
