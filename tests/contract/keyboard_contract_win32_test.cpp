// The contract run against user32 and the real clipboard. The clipboard is set from a
// window of this program and emptied when each case ends.
#include <windows.h>

#include <cstring>

#include "common/win32/keyboard_win32.h"
#include "common/win32/owners.h"
#include "tests/contract/keyboard_contract.h"

namespace vantora::contract {
namespace {

class Win32Target : public KeyboardTarget {
public:
    ~Win32Target() override { putClipboard(std::nullopt); }
    KeyboardPort& port() override { return keyboard_; }
    bool putClipboard(const std::optional<std::string>& bytes) override {
        if (!::OpenClipboard(owner_.get())) return false;
        bool ok = ::EmptyClipboard() != FALSE;
        if (ok && bytes) {
            win32::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes->size() + 1));
            void* memory = block ? ::GlobalLock(block.get()) : nullptr;
            if (memory) {
                std::memcpy(memory, bytes->data(), bytes->size());
                ::GlobalUnlock(block.get());
            }
            ok = memory && ::SetClipboardData(CF_TEXT, block.get()) != nullptr;
            if (ok) block.release();  // the clipboard owns it now
        }
        ::CloseClipboard();
        return ok;
    }

private:
    win32::Win32Keyboard keyboard_;
    win32::UniqueWindow owner_{::CreateWindowExA(0, "STATIC", "clipboard", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                                 nullptr, nullptr)};
};

std::unique_ptr<KeyboardTarget> makeWin32() { return std::make_unique<Win32Target>(); }

INSTANTIATE_TEST_SUITE_P(Win32, KeyboardContract, ::testing::Values(&makeWin32));

}  // namespace
}  // namespace vantora::contract
