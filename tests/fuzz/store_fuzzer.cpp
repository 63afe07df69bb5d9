// The launcher's registry store read back after any other program wrote its values
// with any type, size and bytes. What must hold: nothing reads out of bounds, and a
// value that is not a string of a sane size reads as absent while a string reads as
// its bytes up to the first zero; the key picture and the popup list follow suit.
//
// Input: a byte whose value modulo 8, unless 0, makes every so many reads fail; then
// per value a slot (kSlots, or past them a popup entry named by the pattern), its type,
// a pattern length and pattern, and a 16-bit size that the pattern fills.
#include <algorithm>
#include <cctype>
#include <climits>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/fakes/fake_registry.h"
#include "common/fakes/test_view.h"
#include "launcher/assignments.h"
#include "launcher/tests/launcher_fakes.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using namespace vantora;
using namespace vantora::launcher;
using vantora::fuzz::FuzzInput;

const std::string kListKey = std::string(kPrgKey) + "\\Fn-A";
const std::string kEntryKey = kListKey + "\\Notes";

struct Slot {
    RegHandle root;
    const char* path;
    const char* name;
};
const Slot kSlots[] = {
    {kHkeyCurrentUser, kCfgKey, "opts2"},  {kHkeyCurrentUser, kCfgKey, "X"},
    {kHkeyCurrentUser, kCmdKey, "Fn-A"},   {kHkeyCurrentUser, kCmdKey, "Fn-1"},
    {kHkeyCurrentUser, kDescKey, "Fn-A"},  {kHkeyCurrentUser, kCwdKey, "Fn-A"},
    {kHkeyCurrentUser, kOptsKey, "Fn-A"},  {kHkeyCurrentUser, kListKey.c_str(), "FileCount"},
    {kHkeyCurrentUser, kEntryKey.c_str(), "Notes"},
    {kHkeyLocalMachine, kReserveKey, "A"}, {kHkeyLocalMachine, kReserveKey, "1"},
};
constexpr std::size_t kSlotCount = std::size(kSlots);
constexpr std::size_t kCmdA = 2, kCmd1 = 3, kOpts2 = 0, kReserveA = 9, kReserve1 = 10, kEntry = 8;
constexpr std::size_t kNamedEntry = kSlotCount;  // a popup entry of any name

struct Written {
    std::uint32_t type;
    std::vector<std::uint8_t> data;
};

// What the store must make of a value: its text when it is a string of a sane size.
std::optional<std::string> expectedText(const std::optional<Written>& w) {
    if (!w || w->type != kRegSz || w->data.size() > kMaxStringBytes) return std::nullopt;
    return std::string(w->data.begin(), std::find(w->data.begin(), w->data.end(), 0));
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    FakeRegistry reg;
    Store store(reg);
    // Reads that fail now and then, as when another program holds or rewrites a value.
    const std::uint8_t failEvery = in.byte() % 8;
    std::optional<Written> written[kSlotCount];
    std::vector<std::string> entryNames;

    while (!in.empty()) {
        const std::size_t slot = in.byte() % (kSlotCount + 1);
        Written w{in.byte(), {}};
        std::vector<std::uint8_t> pattern(in.byte());
        in.fill(pattern.data(), pattern.size());
        // Mostly short, else around the store's limit: the sizes where a reader can go wrong.
        const std::uint16_t length = in.word();
        w.data.resize(length & 0x8000 ? kMaxStringBytes - 64 + (length & 0x7F) : length & 0x3FF);
        for (std::size_t i = 0; i < w.data.size() && !pattern.empty(); ++i) w.data[i] = pattern[i % pattern.size()];
        if (slot == kNamedEntry) {
            std::string name(pattern.begin(), std::find(pattern.begin(), pattern.end(), 0));
            if (name.empty() || name.find('\\') != std::string::npos) continue;
            if (ScopedRegKey::create(reg, kHkeyCurrentUser, (kListKey + "\\" + name).c_str()))
                entryNames.push_back(name);
            continue;
        }
        auto key = ScopedRegKey::create(reg, kSlots[slot].root, kSlots[slot].path);
        FUZZ_CHECK(key);
        FUZZ_CHECK(reg.RegSetValueExA(key.get(), kSlots[slot].name, w.type, w.data.data(),
                                      static_cast<std::uint32_t>(w.data.size())) == kErrorSuccess);
        written[slot] = std::move(w);
    }

    int queries = 0;
    if (failEvery)
        reg.failWhen([&](const FakeRegistry::Call& call) {
            return call.op == RegOp::QueryValueEx && ++queries % failEvery == 0 ? kErrorMoreData : kErrorSuccess;
        });

    for (std::size_t i = 0; i < kSlotCount; ++i) {
        const Slot& s = kSlots[i];
        if (s.root == kHkeyLocalMachine) continue;  // the reserve's data is never read
        const StoredString read = store.readString(s.root, s.path, s.name);
        const std::optional<std::string> expected = expectedText(written[i]);
        if (read.exists()) FUZZ_CHECK(expected && read.text == *expected);
        else FUZZ_CHECK(read.text.empty() && (failEvery || !expected));
        FUZZ_CHECK(numericValue(read.text) >= -INT_MAX && numericValue(read.text) <= INT_MAX);
    }

    LauncherState state;
    vantora::testing::TestView view;
    vantora::launcher::testing::declareForm1(view);
    for (const auto& k : kKeyTable) {
        state.KeyNames.emplace_back(k.name);
        view.setBounds(labelName(k.index), {k.left, k.top, kLabelSize, kLabelSize});
    }
    RefreshKeyPicture(store, state, view);
    if (!failEvery) {
        const bool marks = expectedText(written[kOpts2]) == "1";
        std::size_t popups = 0;
        const struct {
            std::size_t cmd, reserve;
            int label;
        } keys[] = {{kCmdA, kReserveA, 6}, {kCmd1, kReserve1, 0}};
        for (const auto& k : keys) {
            const std::optional<std::string> command = expectedText(written[k.cmd]);
            const ui::Color colour = written[k.reserve] ? ReservedColor : command ? AssignedColor : kWhite;
            FUZZ_CHECK(view.foreColor(labelName(k.label)) == colour);
            popups += marks && command && !command->empty() && (*command)[0] == '@';
        }
        FUZZ_CHECK(view.lines().size() == 6 * popups);
    }

    const std::vector<std::string> listed = popupEntryNames(store, "Fn-A");
    if (written[kEntry]) entryNames.push_back("Notes");
    for (const std::string& name : entryNames)
        FUZZ_CHECK(std::any_of(listed.begin(), listed.end(),
                               [&](const std::string& l) { return equalIgnoringCase(l, name); }));
    FUZZ_CHECK(listed.size() == std::set<std::string>(listed.begin(), listed.end()).size());
    reg.failWhen({});
    FUZZ_CHECK(reg.openHandleCount() == 0);
    return 0;
}
