// The key-code string's own rules: whole three-digit groups, at most ten, and no
// byte of a password left behind by an owner that lets go of it.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "supervisor/bios/key_code_string.h"

namespace vantora {
namespace {

static_assert(!std::is_copy_constructible_v<KeyCodeString> && !std::is_copy_assignable_v<KeyCodeString>);

std::string textOf(const KeyCodeString& k) { return std::string(k.text()); }

// An owner placed in memory the test keeps, so that what it leaves there can be read
// after it let go.
class Placed {
public:
    explicit Placed(std::string_view text) { new (storage_) KeyCodeString(text); }
    KeyCodeString& get() { return *std::launder(reinterpret_cast<KeyCodeString*>(storage_)); }
    void destroy() { get().~KeyCodeString(); }
    std::string leftover() const {
        std::string bytes;
        for (unsigned char b : storage_)
            if (b != 0) bytes += std::to_string(b) + " ";
        return bytes;
    }

private:
    alignas(KeyCodeString) unsigned char storage_[sizeof(KeyCodeString)];
};

TEST(KeyCodeString, LettingGo_LeavesOnlyZeroBytes) {
    const std::string secret = "201202203204205206207208209210";
    const struct {
        const char* how;
        std::function<void(Placed&)> letGo;
        bool destroyed;
    } cases[] = {
        {"dropped", [](Placed& p) { p.destroy(); }, true},
        {"reset", [](Placed& p) { p.get().reset(); }, false},
        {"moved from", [&](Placed& p) { EXPECT_EQ(secret, textOf(KeyCodeString(std::move(p.get())))); }, false},
        {"move-assigned from",
         [&](Placed& p) {
             KeyCodeString other("001");
             other = std::move(p.get());
             EXPECT_EQ(secret, textOf(other));
         },
         false},
        {"assigned over a longer one",
         [](Placed& p) {
             p.get() = KeyCodeString("030");
             EXPECT_EQ("030", textOf(p.get()));
             p.get().removeLastGroup();
         },
         false},
        {"last groups removed",
         [](Placed& p) {
             while (!p.get().empty()) p.get().removeLastGroup();
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        Placed placed(secret);
        c.letGo(placed);
        EXPECT_EQ("", placed.leftover()) << "nonzero bytes left behind";
        if (!c.destroyed) placed.destroy();
    }
}

TEST(KeyCodeString, Groups_AreThreeDigits_AtMostTen) {
    KeyCodeString keys;
    const std::uint8_t codes[] = {2, 30, 255, 57, 14, 16, 100, 9, 10, 99};
    for (std::uint8_t code : codes) EXPECT_TRUE(keys.appendGroup(code)) << int(code);
    EXPECT_EQ("002030255057014016100009010099", textOf(keys));
    EXPECT_FALSE(keys.appendGroup(31)) << "an eleventh key";
    EXPECT_EQ(10u, keys.groupCount());
    keys.removeLastGroup();
    EXPECT_EQ("002030255057014016100009010", textOf(keys));

    KeyCodeString ragged("03004");  // Len / 3 rounded: a last group of two digits is a key
    EXPECT_EQ("030004", textOf(ragged));
    ragged.removeLastGroup();
    EXPECT_EQ("030", textOf(ragged));
    EXPECT_EQ("030", textOf(KeyCodeString("0301"))) << "a last group of one digit is none";
    KeyCodeString none;
    none.removeLastGroup();
    EXPECT_TRUE(none.empty());
    EXPECT_THROW(KeyCodeString(std::string(31, '1')), KeyCodeStringTooLong);
}

TEST(KeyCodeString, Equality_NeedsEveryByteAndTheLength) {
    const struct {
        const char *a, *b;
        bool equal;
    } cases[] = {
        {"030048", "030048", true}, {"030048", "030049", false}, {"030048", "030", false},
        {"", "", true},             {"", "000", false},          {"130048", "030048", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.equal, KeyCodeString(c.a) == KeyCodeString(c.b)) << "'" << c.a << "' vs '" << c.b << "'";
}

}  // namespace
}  // namespace vantora
