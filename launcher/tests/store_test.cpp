#include <gtest/gtest.h>

#include "common/fakes/fake_desktop.h"
#include "common/fakes/fake_registry.h"
#include "common/fakes/test_view.h"
#include "launcher/assignments.h"
#include "launcher/tests/launcher_fakes.h"

namespace vantora::launcher {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view s) { return Bytes(s.begin(), s.end()); }

struct RawValue {
    long status = -1;
    std::uint32_t type = 0xEEEEEEEE;
    Bytes data;
};

RawValue raw(RegistryPort& reg, RegHandle root, const char* path, const char* name) {
    RawValue v;
    auto key = ScopedRegKey::open(reg, root, path);
    if (!key) return v;
    std::uint32_t size = 0;
    v.status = reg.RegQueryValueExA(key.get(), name, &v.type, nullptr, &size);
    if (v.status != kErrorSuccess) return v;
    v.data.assign(size, 0xCC);
    v.status = reg.RegQueryValueExA(key.get(), name, &v.type, v.data.data(), &size);
    return v;
}

void put(RegistryPort& reg, RegHandle root, const char* path, const char* name, std::uint32_t type, Bytes data) {
    auto key = ScopedRegKey::create(reg, root, path);
    ASSERT_TRUE(key);
    ASSERT_EQ(kErrorSuccess,
              reg.RegSetValueExA(key.get(), name, type, data.data(), static_cast<std::uint32_t>(data.size())));
}

class StoreTest : public ::testing::Test {
protected:
    FakeRegistry reg;
    Store store{reg};
    LauncherState state;
    vantora::testing::TestView view;

    void SetUp() override {
        launcher::testing::declareForm1(view);
        for (const auto& k : kKeyTable) {
            state.KeyNames.emplace_back(k.name);
            view.setBounds(labelName(k.index), {k.left, k.top, kLabelSize, kLabelSize});
        }
    }
    // Every routine opens and closes its own keys.
    void TearDown() override { EXPECT_EQ(0, reg.openHandleCount()); }
};

TEST_F(StoreTest, Coordinates_AreStoredAsExactlyFiveBytes) {
    struct Case {
        long twips;
        Bytes stored;
        std::string readBack;
    } cases[] = {
        {12345, bytesOf("12345"), "12345"},         // no terminator, used whole
        {123456, bytesOf("12345"), "12345"},        // cut to five
        {42, Bytes{'4', '2', 0, 0, 0}, "42"},       // zero-padded
        {-150, Bytes{'-', '1', '5', '0', 0}, "-150"},
        {-12345, bytesOf("-1234"), "-1234"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(kErrorSuccess, store.writeCoordinate("X", c.twips));
        const RawValue v = raw(reg, kHkeyCurrentUser, kCfgKey, "X");
        EXPECT_EQ(kRegSz, v.type) << c.twips;
        EXPECT_EQ(c.stored, v.data) << c.twips;
        EXPECT_EQ(c.readBack, store.readUser(kCfgKey, "x").text) << c.twips;
    }
}

TEST_F(StoreTest, Strings_AreWrittenWithTerminator_EmptyAsThreeZeroBytes) {
    struct Case {
        std::string text;
        Bytes stored;
    } cases[] = {{"1", Bytes{'1', 0}}, {"0", Bytes{'0', 0}}, {"abc", Bytes{'a', 'b', 'c', 0}}, {"", Bytes{0, 0, 0}}};
    for (const auto& c : cases) {
        store.writeUser(kDescKey, "Fn-A", c.text);
        EXPECT_EQ(c.stored, raw(reg, kHkeyCurrentUser, kDescKey, "Fn-A").data) << '"' << c.text << '"';
        const StoredString back = store.readUser(kDescKey, "fn-a");
        EXPECT_TRUE(back.exists());
        EXPECT_EQ(c.text, back.text);
    }
}

TEST_F(StoreTest, BadValues_ReadAsAbsentOrWhole_NeverOverrun) {
    put(reg, kHkeyCurrentUser, kCfgKey, "dword", kRegDword, {1, 0, 0, 0});
    put(reg, kHkeyCurrentUser, kCfgKey, "binary", kRegBinary, bytesOf("1"));
    put(reg, kHkeyCurrentUser, kCfgKey, "expand", kRegExpandSz, bytesOf("1\0"));
    put(reg, kHkeyCurrentUser, kCfgKey, "noterm", kRegSz, bytesOf("C:\\x.exe"));
    put(reg, kHkeyCurrentUser, kCfgKey, "empty", kRegSz, {});
    put(reg, kHkeyCurrentUser, kCfgKey, "huge", kRegSz, Bytes(64 * 1024, 'a'));
    put(reg, kHkeyCurrentUser, kCfgKey, "inner", kRegSz, Bytes{'1', 0, '2', 0});

    for (const char* absent : {"dword", "binary", "expand", "huge", "missing"}) {
        const StoredString s = store.readUser(kCfgKey, absent);
        EXPECT_FALSE(s.exists()) << absent;
        EXPECT_EQ("", s.text) << absent;
    }
    EXPECT_EQ("C:\\x.exe", store.readUser(kCfgKey, "noterm").text);
    EXPECT_TRUE(store.readUser(kCfgKey, "empty").exists());
    EXPECT_EQ("", store.readUser(kCfgKey, "empty").text);
    EXPECT_EQ("1", store.readUser(kCfgKey, "inner").text);
    EXPECT_FALSE(store.option("dword"));
    EXPECT_TRUE(store.option("inner"));
}

TEST(StoreHelpers, DirectoryPartAndNumericValue) {
    EXPECT_EQ("C:\\Tools", DirectoryPart("C:\\Tools\\Edit.exe"));
    EXPECT_EQ("C:", DirectoryPart("C:\\x"));
    EXPECT_EQ("", DirectoryPart("noslash"));
    const std::pair<const char*, long> cases[] = {{"12345", 12345}, {"-150", -150}, {"", 0},  {"abc", 0},
                                                  {" 7x", 7},      {"99999999999", 2147483647}};
    for (auto [text, value] : cases) EXPECT_EQ(value, numericValue(text)) << text;
}

TEST_F(StoreTest, RefreshKeyPicture_ColoursAndMarks) {
    store.writeUser(kCfgKey, "opts2", "1");
    store.writeUser(kCmdKey, "Fn-A", "notepad.exe");
    store.writeUser(kCmdKey, "Fn-B", "@C:\\Lists");
    store.writeUser(kCmdKey, "Fn-C", "@C:\\Other");
    put(reg, kHkeyLocalMachine, kReserveKey, "C", kRegDword, {0, 0, 0, 0});
    put(reg, kHkeyLocalMachine, kReserveKey, "1", kRegSz, {});

    RefreshKeyPicture(store, state, view);

    EXPECT_EQ(AssignedColor, view.foreColor(labelName(6)));   // Fn-A
    EXPECT_EQ(AssignedColor, view.foreColor(labelName(7)));   // Fn-B, popup
    EXPECT_EQ(ReservedColor, view.foreColor(labelName(8)));   // Fn-C, reserved over popup
    EXPECT_EQ(ReservedColor, view.foreColor(labelName(0)));   // Fn-1, reserved, unassigned
    EXPECT_EQ(kWhite, view.foreColor(labelName(9)));          // Fn-D
    // Two marks, each a 6-line triangle in the label's top-left corner.
    ASSERT_EQ(12u, view.lines().size());
    EXPECT_EQ((vantora::testing::DrawnLine{142, 123, 147, 123, PopupMarkColor}), view.lines()[0]);
    EXPECT_EQ((vantora::testing::DrawnLine{142, 128, 142, 128, PopupMarkColor}), view.lines()[5]);
    EXPECT_EQ((vantora::testing::DrawnLine{90, 123, 95, 123, PopupMarkColor}), view.lines()[6]);

    store.writeUser(kCfgKey, "opts2", "0");
    RefreshKeyPicture(store, state, view);
    EXPECT_TRUE(view.lines().empty());
    EXPECT_EQ(AssignedColor, view.foreColor(labelName(7)));
}

TEST_F(StoreTest, ClearAssignment_PopupKey_RemovesEntriesKeepsFileCount) {
    state.ExplorerFileCount = 2;
    state.ChosenFolderName = "Lists";
    state.CurrentKeyName = "Fn-Q";
    state.CurrentCommand = "x";
    vantora::testing::FakeFiles files;
    files.folders["C:\\L"] = {{"One.txt"}, {"Two.lnk"}};
    SavePopupList(store, state, files, "C:\\L", "");
    ASSERT_EQ("@C:\\L", store.readUser(kCmdKey, "Fn-Q").text);

    ClearAssignment(store, state);

    auto prg = ScopedRegKey::open(reg, kHkeyCurrentUser, "Software\\Vantora\\Keyloom\\prg\\Fn-Q");
    ASSERT_TRUE(prg);
    EXPECT_TRUE(subkeyNames(reg, prg.get()).empty());
    EXPECT_EQ("2", store.readString(prg.get(), "FileCount").text);
    EXPECT_FALSE(store.readUser(kCmdKey, "Fn-Q").exists());
    EXPECT_EQ((Bytes{0, 0, 0}), raw(reg, kHkeyCurrentUser, kDescKey, "Fn-Q").data);
    EXPECT_EQ((Bytes{0, 0, 0}), raw(reg, kHkeyCurrentUser, kCwdKey, "Fn-Q").data);
    EXPECT_EQ("", state.CurrentCommand);
}

TEST_F(StoreTest, SavePopupList_EntryNames_HiddenSkipped_SecondFolderWins) {
    state.CurrentKeyName = "Fn-Z";
    state.ExplorerFileCount = 4;
    state.ChosenFolderName = "Accessories";
    vantora::testing::FakeFiles files;
    files.folders["C:\\A"] = {{"Notes.lnk"}, {"Readme.txt"}, {"secret.txt", true}, {"Tool.LNK"}, {"Sub", false, true}};
    files.folders["C:\\B"] = {{"Readme.txt"}};
    SavePopupList(store, state, files, "C:\\A", "C:\\B");

    const std::string prg = "Software\\Vantora\\Keyloom\\prg\\Fn-Z";
    auto list = ScopedRegKey::open(reg, kHkeyCurrentUser, prg.c_str());
    ASSERT_TRUE(list);
    EXPECT_EQ((std::vector<std::string>{"Notes", "Readme.txt", "Tool.LNK"}), subkeyNames(reg, list.get()));
    EXPECT_EQ("4", store.readString(list.get(), "FileCount").text);
    EXPECT_EQ("C:\\A\\Notes.lnk", store.readUser((prg + "\\Notes").c_str(), "Notes").text);
    EXPECT_EQ("C:\\B\\Readme.txt", store.readUser((prg + "\\Readme.txt").c_str(), "Readme.txt").text);
    EXPECT_EQ("C:\\A\\Tool.LNK", store.readUser((prg + "\\Tool.LNK").c_str(), "Tool.LNK").text);
    EXPECT_EQ("@C:\\A", store.readUser(kCmdKey, "Fn-Z").text);
    EXPECT_EQ("Accessories", store.readUser(kDescKey, "Fn-Z").text);
}

}  // namespace
}  // namespace vantora::launcher
