#pragma once
// The system's debug output (OutputDebugString) as a debug monitor reads it: a shared
// buffer and two events by well-known names. Whoever holds one while a program runs sees
// every line that program reports; only one monitor may run in a session at a time.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/owners.h"

namespace vantora::testing {

class DebugOutput {
public:
    DebugOutput()
        : mapping_(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize, "DBWIN_BUFFER")),
          bufferReady_(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY")),
          dataReady_(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY")) {
        view_ = mapping_ ? static_cast<const char*>(MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, kSize)) : nullptr;
        if (view_ && bufferReady_ && dataReady_) reader_ = std::thread([this] { read(); });
    }
    ~DebugOutput() {
        stop_ = true;
        if (reader_.joinable()) reader_.join();
        if (view_) UnmapViewOfFile(view_);
    }
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;

    bool listening() const { return reader_.joinable(); }

    // The lines seen so far that contain `text`.
    std::vector<std::string> linesWith(const std::string& text) const {
        std::lock_guard lock(mutex_);
        std::vector<std::string> found;
        for (const std::string& line : lines_)
            if (line.find(text) != std::string::npos) found.push_back(line);
        return found;
    }

private:
    static constexpr DWORD kSize = 4096;  // a process id, then the text and its zero

    void read() {
        SetEvent(bufferReady_.get());
        while (!stop_) {
            // Bounded, so that the monitor notices it is to stop.
            if (WaitForSingleObject(dataReady_.get(), 50) != WAIT_OBJECT_0) continue;
            const char* text = view_ + sizeof(DWORD);
            std::string line(text, strnlen(text, kSize - sizeof(DWORD)));
            {
                std::lock_guard lock(mutex_);
                lines_.push_back(std::move(line));
            }
            SetEvent(bufferReady_.get());
        }
    }

    win32::UniqueHandle mapping_, bufferReady_, dataReady_;
    const char* view_ = nullptr;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::thread reader_;
};

}  // namespace vantora::testing
