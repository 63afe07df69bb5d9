#include "common/localization/localization.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/fakes/fake_string_library.h"

namespace vantora::localization {
namespace {

using testing::FakeStringLibrary;

TEST(LocalStrings, EachStringLoadsTheLibraryAsDataByBareName_AndFreesIt) {
    using namespace std::string_literals;
    struct Case {
        const char* what;
        std::optional<FakeStringLibrary::Strings> library;
        std::int16_t id;
        std::string expected;
    } cases[] = {
        {"no library", std::nullopt, 5, ""},
        {"a string", FakeStringLibrary::Strings{{5, "Options"}}, 5, "Options"},
        {"a missing string", FakeStringLibrary::Strings{{5, "Options"}}, 6, ""},
        {"an empty string", FakeStringLibrary::Strings{{5, ""}}, 5, ""},
        {"zeros inside are dropped", FakeStringLibrary::Strings{{7, "A\0B\0"s}}, 7, "AB"},
        {"cut by the 255-character buffer", FakeStringLibrary::Strings{{8, std::string(300, 'x')}}, 8,
         std::string(254, 'x')},
        {"the highest number", FakeStringLibrary::Strings{{32767, "last"}}, 32767, "last"},
    };
    for (const Case& c : cases) {
        FakeStringLibrary libraries;
        if (c.library) libraries.libraries["Sample.dll"] = *c.library;
        const LocalStrings strings(libraries, "Sample.dll");
        EXPECT_EQ(c.expected, strings.load(c.id)) << c.what;
        EXPECT_EQ(c.expected, strings.load(c.id)) << c.what << ", asked again";
        // Nothing is kept between strings: two loads, two frees of what was loaded.
        const FakeStringLibrary::Load asData{"Sample.dll", kLoadLibraryAsDatafile};
        EXPECT_EQ((std::vector<FakeStringLibrary::Load>{asData, asData}), libraries.loads) << c.what;
        EXPECT_EQ(c.library ? 2 : 0, libraries.frees) << c.what;
        EXPECT_TRUE(libraries.open.empty()) << c.what;
        EXPECT_EQ(std::vector<int>(c.library ? 2 : 0, 255), libraries.bufferSizes) << c.what;
    }
}

TEST(LocalStrings, WhileHeld_TheLibraryIsLoadedOnceAndFreedAtTheEnd) {
    struct Case {
        const char* what;
        bool library;
        bool nested;
        std::string first, second;
    } cases[] = {
        {"a library", true, false, "Options", "Help"},
        {"no library: one look for it", false, false, "", ""},
        {"held twice over: the outer one holds", true, true, "Options", "Help"},
    };
    for (const Case& c : cases) {
        FakeStringLibrary libraries;
        if (c.library) libraries.libraries["Sample.dll"] = {{5, "Options"}, {6, "Help"}};
        const LocalStrings strings(libraries, "Sample.dll");
        {
            const LocalStrings::Held held(strings);
            std::optional<LocalStrings::Held> inner;
            if (c.nested) inner.emplace(strings);
            EXPECT_EQ(c.first, strings.load(5)) << c.what;
            inner.reset();
            EXPECT_EQ(c.second, strings.load(6)) << c.what;
            EXPECT_EQ(1u, libraries.loads.size()) << c.what;
            EXPECT_EQ(0, libraries.frees) << c.what;
        }
        EXPECT_EQ(c.library ? 1 : 0, libraries.frees) << c.what;
        EXPECT_TRUE(libraries.open.empty()) << c.what;
        // Afterwards each string loads it again.
        EXPECT_EQ(c.first, strings.load(5)) << c.what;
        EXPECT_EQ(2u, libraries.loads.size()) << c.what;
    }
}

}  // namespace
}  // namespace vantora::localization
