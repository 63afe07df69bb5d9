// The firmware adapters against the real loader and kernel32: where DEZEZ.dll may come
// from, the entry point and its result, and GetVersionExA's size rules. The driver side
// is held to its contract by the end-to-end tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/win32/firmware_device_win32.h"
#include "common/win32/os_version_win32.h"
#include "common/win32/program_folder.h"

namespace {

// With a trailing backslash, as the cases join names to it.
std::string programFolder() { return vantora::win32::programFolder() + "\\"; }

// A library copied into place as DEZEZ.dll for one case and removed after it.
class PlacedLibrary {
public:
    PlacedLibrary(const char* probe, const std::string& folder) : target_(folder + "DEZEZ.dll") {
        placed_ = CopyFileA((programFolder() + "smi_probes\\" + probe).c_str(), target_.c_str(), FALSE) != 0;
    }
    ~PlacedLibrary() { DeleteFileA(target_.c_str()); }
    PlacedLibrary(const PlacedLibrary&) = delete;
    PlacedLibrary& operator=(const PlacedLibrary&) = delete;
    bool placed() const { return placed_; }

private:
    std::string target_;
    bool placed_ = false;
};

class SmiLibrary : public ::testing::Test {
protected:
    void TearDown() override { SetCurrentDirectoryA(programFolder().c_str()); }
};

TEST_F(SmiLibrary, Bind_TakesTheLibraryBesideTheProgram_AndPassesTheResultOn) {
    PlacedLibrary library("smi_probe.dll", programFolder());
    ASSERT_TRUE(library.placed()) << GetLastError();
    vantora::win32::Win32SmiDll smi;
    ASSERT_TRUE(smi.bind());
    std::vector<std::uint8_t> request(33);
    for (int i = 0; i < 33; ++i) request[i] = static_cast<std::uint8_t>(i * 7);
    std::vector<std::uint8_t> reply(40, 0xCD);
    EXPECT_EQ(0x5A5A, smi.IoSmiCmd(request.data(), reply.data()));
    std::vector<std::uint8_t> expected(40, 0xCD);
    for (int i = 0; i < 32; ++i) expected[i] = static_cast<std::uint8_t>(request[i] ^ 0x5A);
    EXPECT_EQ(expected, reply);
    smi.release();
    EXPECT_EQ(nullptr, GetModuleHandleA("DEZEZ.dll")) << "release must unload the library";
    EXPECT_EQ(0, smi.IoSmiCmd(request.data(), reply.data())) << "no call after release";
}

TEST_F(SmiLibrary, Bind_FailsWhenTheLibraryIsOnlyInTheCurrentDirectory) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "vantora-smi-cwd\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    {
        PlacedLibrary library("smi_probe.dll", folder);
        ASSERT_TRUE(library.placed()) << GetLastError();
        ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
        vantora::win32::Win32SmiDll smi;
        EXPECT_FALSE(smi.bind());
        EXPECT_EQ(nullptr, GetModuleHandleA("DEZEZ.dll"));
        SetCurrentDirectoryA(programFolder().c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

TEST_F(SmiLibrary, Bind_FailsWithoutTheEntryPoint_AndUnloadsTheLibrary) {
    PlacedLibrary library("smi_probe_without_entry.dll", programFolder());
    ASSERT_TRUE(library.placed()) << GetLastError();
    vantora::win32::Win32SmiDll smi;
    EXPECT_FALSE(smi.bind());
    EXPECT_EQ(nullptr, GetModuleHandleA("DEZEZ.dll"));
    std::uint8_t request[33] = {};
    std::uint8_t reply[32] = {};
    EXPECT_EQ(0, smi.IoSmiCmd(request, reply));
}

TEST(OsVersion, GetVersionExA_AcceptsTheSizesWindowsKnows_AndCopiesEveryField) {
    OSVERSIONINFOA direct{};
    direct.dwOSVersionInfoSize = sizeof direct;
    ASSERT_TRUE(GetVersionExA(&direct));
    const struct {
        std::uint32_t size;
        std::int32_t result;
    } cases[] = {{148, 1}, {156, 1}, {0, 0}, {147, 0}, {149, 0}, {157, 0}, {0xFFFFFFFF, 0}};
    for (const auto& c : cases) {
        vantora::OsVersionInfo info;
        std::memset(static_cast<void*>(&info), 0xCD, sizeof info);
        info.osVersionInfoSize = c.size;
        vantora::win32::Win32OsVersion os;
        EXPECT_EQ(c.result, os.GetVersionExA(&info)) << "size " << c.size;
        EXPECT_EQ(c.size, info.osVersionInfoSize) << "the size field is the caller's";
        if (c.result == 0) {
            EXPECT_EQ(0xCDCDCDCDu, info.majorVersion) << "size " << c.size << ": a refused call must write nothing";
            continue;
        }
        EXPECT_EQ(direct.dwMajorVersion, info.majorVersion) << "size " << c.size;
        EXPECT_EQ(direct.dwMinorVersion, info.minorVersion) << "size " << c.size;
        EXPECT_EQ(direct.dwBuildNumber, info.buildNumber) << "size " << c.size;
        EXPECT_EQ(direct.dwPlatformId, info.platformId) << "size " << c.size;
        EXPECT_EQ(0, std::memcmp(direct.szCSDVersion, info.csdVersion, sizeof info.csdVersion)) << "size " << c.size;
    }
}

}  // namespace
