#include <gtest/gtest.h>

#include "launcher/key_table.h"
#include "launcher/keyboard_picture.h"

namespace vantora::launcher {
namespace {

TEST(KeyboardPicture, EveryLabelSitsOnAKeyFace) {
    const Picture p = drawKeyboardPicture();
    ASSERT_EQ(318, p.width);
    ASSERT_EQ(160, p.height);
    for (const auto& k : kKeyTable) {
        // The middle of the label, where its caption is drawn, must be key face.
        for (auto [dx, dy] : {std::pair{12, 12}, {8, 8}, {16, 16}})
            EXPECT_EQ(kKeyFace, p.at(k.left + dx, k.top + dy)) << k.name << " at +" << dx << ",+" << dy;
    }
}

}  // namespace
}  // namespace vantora::launcher
