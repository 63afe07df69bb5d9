// The helper that sets tools/run-notebook's programs side by side, against copies of the
// probe, which all open their windows at one place.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/win32_test_support.h"

namespace vantora::testing {
namespace {

TEST(PlaceWindows, Arrange_SetsStackedWindowsSideBySide_LeftToRightInTheOrderNamed_InsideTheWorkArea) {
    TempFolder folder("place-windows");
    const std::vector<std::string> named = {"third.exe", "first.exe", "second.exe"};
    std::vector<ChildProcess> programs(named.size());
    std::vector<HWND> windows(named.size());
    for (size_t i = 0; i < named.size(); ++i) {
        ASSERT_TRUE(CopyFileA(programPath("probe_app.exe").c_str(), folder.file(named[i].c_str()).c_str(), FALSE));
        ASSERT_TRUE(programs[i].start(folder.file(named[i].c_str())));
        ASSERT_TRUE(waitFor([&] {
            windows[i] = topWindowOf(programs[i].id(), "Vantora.ProbeApp");
            return windows[i] && IsWindowVisible(windows[i]);
        }, 20000)) << named[i];
    }

    const ProgramRun run = runForOutput(programPath("place_windows.exe"), "arrange third.exe first.exe second.exe", 70000);
    EXPECT_EQ(0u, run.exitCode) << run.output;

    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    std::vector<RECT> at(windows.size());
    for (size_t i = 0; i < windows.size(); ++i) {
        GetWindowRect(windows[i], &at[i]);
        EXPECT_TRUE(at[i].left >= work.left && at[i].right <= work.right && at[i].top >= work.top &&
                    at[i].bottom <= work.bottom)
            << named[i] << " leaves the work area";
        if (i == 0) continue;
        EXPECT_LE(at[i - 1].right, at[i].left) << named[i - 1] << " and " << named[i] << " overlap or are out of order";
        EXPECT_EQ(at[0].top, at[i].top) << named[i];
    }
}

}  // namespace
}  // namespace vantora::testing
