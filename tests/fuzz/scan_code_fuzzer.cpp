// The password box's filter fed any sequence of key, mouse and clipboard messages on
// each layout. What must hold: at most 10 keys, three digits a key, a typed key
// recorded as its own scan code, and a paste taken whole only when every character is
// a key that the layout types unshifted (the BIOS prompt knows no Shift), else refused
// whole.
//
// Input: a layout byte (US, French, German), then per message its kind, scan code,
// virtual key, a flags byte (Ctrl, Alt, left Shift held; extended; box focused; box
// read-only; 64: no text on the clipboard) and the clipboard text, length first.
#include <cstring>
#include <optional>
#include <string>

#include "common/fakes/fake_keyboard.h"
#include "supervisor/scan_code_filter.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using namespace vantora;
using vantora::fuzz::FuzzInput;
using vantora::testing::FakeKeyboard;
using vantora::testing::FakeLayout;
using Kind = ui::ControlMessage::Kind;

constexpr FakeLayout kLayouts[] = {FakeLayout::US, FakeLayout::French, FakeLayout::German};

// Per layout and character: the scan code of the key that gives the character's
// unshifted US counterpart without a modifier, or 0 when no such key exists. Found
// through the keyboards themselves: the US counterpart is what the same US key gives alone.
struct PasteTable {
    std::uint8_t scanCode[3][256] = {};
    PasteTable() {
        FakeKeyboard us(FakeLayout::US);
        for (int layout = 0; layout < 3; ++layout) {
            FakeKeyboard keyboard(kLayouts[layout]);
            for (int c = 0x20; c <= 0x7E; ++c) {
                const std::int16_t usKey = us.VkKeyScanA(static_cast<char>(c));
                std::optional<char> unshifted;
                for (int u = 0x20; u <= 0x7E && !unshifted; ++u)
                    if (us.VkKeyScanA(static_cast<char>(u)) == (usKey & 0xFF)) unshifted = static_cast<char>(u);
                if (!unshifted) continue;
                const std::int16_t key = keyboard.VkKeyScanA(*unshifted);
                if (key == kNoKeyForCharacter || (key & 0xFF00) != 0) continue;
                scanCode[layout][c] = static_cast<std::uint8_t>(keyboard.MapVirtualKeyA(key & 0xFF, kMapVkToVsc));
            }
        }
    }
};

// Three digits a key, each group a scan code (0..255), at most 10 keys.
bool wellFormed(std::string_view text) {
    if (text.size() % 3 != 0 || text.size() > 3 * KeyCodeString::kMaxKeys) return false;
    for (std::size_t i = 0; i < text.size(); i += 3) {
        for (std::size_t j = i; j < i + 3; ++j)
            if (text[j] < '0' || text[j] > '9') return false;
        if (std::stoi(std::string(text.substr(i, 3))) > 255) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const PasteTable table;
    FuzzInput in(data, size);
    const int layout = in.byte() % 3;
    FakeKeyboard keyboard(kLayouts[layout]);
    ScanCodeFilter filter(keyboard);
    KeyCodeString keyCodes;

    while (!in.empty()) {
        ui::ControlMessage e;
        e.kind = static_cast<Kind>(in.byte() % (static_cast<int>(Kind::Unmask) + 1));
        e.scanCode = in.byte();
        e.key = in.byte();
        const std::uint8_t flags = in.byte();
        keyboard.setKeyDown(kVkControl, flags & 1);
        keyboard.setKeyDown(kVkMenu, flags & 2);
        keyboard.setKeyDown(kVkLeftShift, flags & 4);
        e.extended = flags & 8;
        const PasswordBoxState box{(flags & 16) != 0, (flags & 32) != 0};
        std::string clip(in.byte() % 16, '\0');
        for (char& c : clip) c = static_cast<char>(in.byte());
        keyboard.setClipboardText(flags & 64 ? std::nullopt : std::optional<std::string>(clip));
        const std::string before(keyCodes.text());

        const FilterDecision d = filter.filter(e, box, keyCodes);

        const auto afterText = keyCodes.text();
        const std::string_view after = afterText;
        FUZZ_CHECK(wellFormed(after));
        if (d.keyRecorded) {
            FUZZ_CHECK(e.kind == Kind::KeyDown && isAcceptableScanCode(e.scanCode));
            FUZZ_CHECK(after.size() == before.size() + 3);
            FUZZ_CHECK(std::stoi(std::string(after.substr(before.size()))) == e.scanCode);
        }
        if (e.kind != Kind::Paste) continue;
        // The clipboard's text ends at its first zero byte.
        const std::string pasted = flags & 64 ? std::string() : std::string(clip.c_str());
        bool typeable = !pasted.empty() && before.size() / 3 + pasted.size() <= KeyCodeString::kMaxKeys;
        std::string groups = before;
        for (unsigned char c : pasted) {
            const std::uint8_t s = table.scanCode[layout][c];
            typeable = typeable && s != 0;
            groups += std::to_string(1000 + s).substr(1);
        }
        FUZZ_CHECK(!d.pass);
        FUZZ_CHECK(d.pastedKeys == (typeable ? static_cast<int>(pasted.size()) : 0));
        FUZZ_CHECK(after == (typeable ? groups : before));
    }
    return 0;
}
