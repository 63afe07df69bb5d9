// The contract run against the keyboard tables, and the fake's other layouts and
// failures, which the contract cannot see.
#include "common/fakes/fake_keyboard.h"
#include "tests/contract/keyboard_contract.h"

namespace vantora::contract {
namespace {

using testing::FakeKeyboard;
using testing::FakeLayout;
using testing::KeyboardOp;

class FakeTarget : public KeyboardTarget {
public:
    KeyboardPort& port() override { return fake_; }
    bool putClipboard(const std::optional<std::string>& bytes) override {
        fake_.setClipboardText(bytes);
        return true;
    }

private:
    FakeKeyboard fake_;
};

std::unique_ptr<KeyboardTarget> makeFake() { return std::make_unique<FakeTarget>(); }

INSTANTIATE_TEST_SUITE_P(Fake, KeyboardContract, ::testing::Values(&makeFake));

// Character -> scan code through both calls, as a paste converts it; 0 where the
// character needs a modifier or no key gives it.
unsigned scanCodeOf(FakeKeyboard& keyboard, char c) {
    return keyboard.MapVirtualKeyA(static_cast<std::uint16_t>(keyboard.VkKeyScanA(c)), kMapVkToVsc);
}

TEST(FakeKeyboard, OtherLayouts_MoveKeysAndNeedModifiers) {
    const struct {
        FakeLayout layout;
        unsigned handle;
        char character;
        int vkScan;
        unsigned scanCode;
    } cases[] = {
        {FakeLayout::French, 0x040C040C, 'a', 0x41, 0x10},  {FakeLayout::French, 0x040C040C, 'q', 0x51, 0x1E},
        {FakeLayout::French, 0x040C040C, 'm', 0x4D, 0x27},  {FakeLayout::French, 0x040C040C, '1', 0x131, 0},
        {FakeLayout::French, 0x040C040C, '\\', 0x638, 0},   {FakeLayout::French, 0x040C040C, '\xE9', 0x32, 0x03},
        {FakeLayout::German, 0x04070407, 'z', 0x5A, 0x15},  {FakeLayout::German, 0x04070407, 'y', 0x59, 0x2C},
        {FakeLayout::German, 0x04070407, '-', 0xBD, 0x35},  {FakeLayout::German, 0x04070407, '[', 0x638, 0},
        {FakeLayout::German, 0x04070407, '=', 0x130, 0},    {FakeLayout::US, 0x04090409, 'y', 0x59, 0x15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("'") + c.character + "' on " + std::to_string(static_cast<int>(c.layout)));
        FakeKeyboard keyboard(c.layout);
        EXPECT_EQ(c.handle, keyboard.GetKeyboardLayout(0));
        EXPECT_EQ(c.vkScan, keyboard.VkKeyScanA(c.character));
        EXPECT_EQ(c.scanCode, scanCodeOf(keyboard, c.character));
    }
}

TEST(FakeKeyboard, FailNext_FailsOnlyThatCall_ForTheGivenNumberOfCalls) {
    FakeKeyboard keyboard;
    keyboard.setClipboardText("abc");
    keyboard.failNext(KeyboardOp::GetClipboardText, 2);
    keyboard.failNext(KeyboardOp::VkKeyScan);
    keyboard.failNext(KeyboardOp::MapVirtualKey);
    keyboard.failNext(KeyboardOp::GetKeyboardLayout);
    std::string text = "marker";
    EXPECT_FALSE(keyboard.GetClipboardText(64, text));
    EXPECT_FALSE(keyboard.GetClipboardText(64, text));
    EXPECT_EQ("marker", text);
    EXPECT_TRUE(keyboard.GetClipboardText(64, text));
    EXPECT_EQ("abc", text);
    EXPECT_EQ(-1, keyboard.VkKeyScanA('c'));
    EXPECT_EQ(0x43, keyboard.VkKeyScanA('c'));
    EXPECT_EQ(0u, keyboard.MapVirtualKeyA(0x43, kMapVkToVsc));
    EXPECT_EQ(46u, keyboard.MapVirtualKeyA(0x43, kMapVkToVsc));
    EXPECT_EQ(0u, keyboard.GetKeyboardLayout(0));
    EXPECT_EQ(0x04090409u, keyboard.GetKeyboardLayout(0));
    EXPECT_EQ(3, keyboard.callCount(KeyboardOp::GetClipboardText));
    EXPECT_EQ(2, keyboard.callCount(KeyboardOp::VkKeyScan));
}

}  // namespace
}  // namespace vantora::contract
