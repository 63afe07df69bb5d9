// The firmware-extension driver loaded as a kernel service in Wine, reached the way
// BASTIONE reaches it: \\.\KdaFwExt, DeviceIoControl, and DEZEZ over the Win32 adapter.
// The test installs the service itself and removes it at the end; every test starts
// from the factory state.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/win32/firmware_device_win32.h"
#include "standins/firmware/bios_core.h"
#include "tests/e2e/driver_fixture.h"
#include "standins/firmware/tool/fwext_service.h"
#include "supervisor/bios/dezez.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using vantora::DEZEZ;
using vantora::KeyCodeString;
using vantora::win32::UniqueFile;
using namespace vantora::testing;
namespace fwext = vantora::fwext;

constexpr DWORD kIoControl = 0x9C416400;
constexpr BYTE kMarker = 0xCD;
constexpr DWORD kReturnedMarker = 0xDEADBEEF;

// Windows reports 0 bytes for a failed request; Wine leaves the count as it was.
// Either way no byte may arrive, which the output markers show.
bool nothingReturned(DWORD returned) { return returned == 0 || returned == kReturnedMarker; }
// Scan codes as DEZEZ takes them: three digits a key.
constexpr char kKeysAbcd[] = "030048046032";  // A B C D
constexpr char kKeysAbce[] = "030048046018";  // last key differs
constexpr char kKeysWxyz[] = "017045021044";

BiosCoreState factoryState() {
    BiosCoreState state;
    bios_core_init(&state);
    return state;
}

std::string versionOf(const BiosCoreState& state) {
    const char* text = reinterpret_cast<const char*>(state.version);
    return std::string(text, strnlen(text, sizeof(state.version)));
}

// The device appears when DriverEntry has run; the service may report running a
// moment before a client can open it. On failure the last error is the last attempt's.
UniqueFile openDevice() {
    UniqueFile device;
    waitFor(
        [&] {
            device.reset(CreateFileA("\\\\.\\KdaFwExt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
            return static_cast<bool>(device);
        },
        static_cast<int>(fwext::kServiceWaitMs));
    return device;
}

using ToolRun = ProgramRun;

ToolRun runStateTool(const std::string& arguments) { return runForOutput(programPath("fwext-state.exe"), arguments); }

bool hasLine(const std::string& output, const std::string& line) {
    std::string text = "\n" + output;
    std::string::size_type at = 0;
    while ((at = text.find('\r', at)) != std::string::npos) text.erase(at, 1);
    return text.find("\n" + line + "\n") != std::string::npos;
}

class FirmwareE2E : public DriverInstalled {
protected:
    void SetUp() override {
        DriverInstalled::SetUp();
        if (HasFatalFailure()) return;
        const UniqueFile h = openDevice();
        ASSERT_TRUE(h) << "device does not open, error " << GetLastError();
    }

    // The driver is restarted, as a reboot of the notebook would.
    void restartDriver() {
        ASSERT_EQ(DWORD(ERROR_SUCCESS), fwext::stop());
        ASSERT_EQ(DWORD(ERROR_SUCCESS), fwext::start());
        const UniqueFile h = openDevice();
        ASSERT_TRUE(h) << "device does not open after the restart, error " << GetLastError();
    }

    vantora::Win32FirmwareDevice device;
    vantora::Win32OsVersion osVersion;
};

TEST_F(FirmwareE2E, IoControl_SucceedsOnlyForThirtyThreeInAndThirtyTwoOrMoreOut_ReturningThirtyTwo) {
    const UniqueFile h = openDevice();
    ASSERT_TRUE(h);
    const BiosCoreState factory = factoryState();
    Bytes in(64, 0);
    in[0] = 0x80;  // BIOS version: a reply that differs from zeros and from the markers
    int wrong = 0;
    for (DWORD inSize = 0; inSize <= 64; ++inSize) {
        for (DWORD outSize = 0; outSize <= 64; ++outSize) {
            Bytes out(72, kMarker);
            DWORD returned = kReturnedMarker;
            SetLastError(0);
            const BOOL ok = DeviceIoControl(h.get(), kIoControl, in.data(), inSize, out.data(), outSize, &returned, nullptr);
            const DWORD error = GetLastError();
            const bool wanted = inSize == 33 && outSize >= 32;
            Bytes expected(72, kMarker);
            if (wanted) std::memcpy(expected.data(), factory.version, 32);
            const bool right = (ok != 0) == wanted && (wanted ? returned == 32 : nothingReturned(returned)) &&
                               out == expected && (wanted || error != 0);
            if (!right && ++wrong <= 10)
                ADD_FAILURE() << "in " << inSize << ", out " << outSize << ": expected " << (wanted ? "success" : "failure")
                              << " with " << (wanted ? 32 : 0) << " bytes, got " << (ok ? "success" : "failure")
                              << " with " << returned << " bytes, error " << error
                              << (out == expected ? "" : ", output bytes differ from the reply and markers");
        }
    }
    EXPECT_EQ(0, wrong) << "cases answered wrongly out of 65 x 65";
}

TEST_F(FirmwareE2E, IoControl_OtherCodesFail_WithNothingReturned) {
    const UniqueFile h = openDevice();
    ASSERT_TRUE(h);
    const DWORD codes[] = {0x9C416404, 0x9C4163FC, 0x9C416401, 0x9C416402, 0x9C416403,
                           0x9C41A400, 0x9C426400, 0x00226400, 0x00000000, 0xFFFFFFFF};
    for (DWORD code : codes) {
        Bytes in(33, 0);
        in[0] = 0x80;
        Bytes out(64, kMarker);
        DWORD returned = kReturnedMarker;
        const BOOL ok = DeviceIoControl(h.get(), code, in.data(), 33, out.data(), 64, &returned, nullptr);
        EXPECT_FALSE(ok) << std::hex << "code 0x" << code;
        EXPECT_TRUE(nothingReturned(returned)) << std::hex << "code 0x" << code << ": " << returned << " bytes";
        EXPECT_EQ(Bytes(64, kMarker), out) << std::hex << "code 0x" << code << ": output was written";
    }
}

TEST_F(FirmwareE2E, Dezez_BiosVersion_IsTheSimulatedBiosText) {
    DEZEZ bios(device, osVersion);
    EXPECT_EQ(versionOf(factoryState()), bios.BIOSVersion());
    EXPECT_EQ(0, bios.Status);
}

TEST_F(FirmwareE2E, Dezez_SupervisorPassword_RegisterCheckRefuseAgainDelete) {
    DEZEZ bios(device, osVersion);
    EXPECT_EQ(0, bios.SPasswordState());
    EXPECT_EQ(0, bios.ChkSupervisorPwd(KeyCodeString(kKeysAbcd))) << "no password registered: nothing matches";

    bios.SupervisorPwd(KeyCodeString(kKeysAbcd));
    EXPECT_EQ(0, bios.Status);
    EXPECT_EQ(1, bios.SPasswordState());
    EXPECT_EQ(-1, bios.ChkSupervisorPwd(KeyCodeString(kKeysAbcd)));
    EXPECT_EQ(0, bios.ChkSupervisorPwd(KeyCodeString(kKeysAbce)));
    EXPECT_EQ(0, bios.ChkSupervisorPwd(KeyCodeString("030048046")));  // a prefix is not the password
    EXPECT_EQ(0, bios.UserPasswordState()) << "the user password is separate";

    bios.SupervisorPwd(KeyCodeString(kKeysWxyz));
    EXPECT_EQ(-1, bios.ChkSupervisorPwd(KeyCodeString(kKeysAbcd))) << "a second registration must be refused";
    EXPECT_EQ(0, bios.ChkSupervisorPwd(KeyCodeString(kKeysWxyz)));

    bios.ClrSupervisorPwd(KeyCodeString(kKeysAbce));
    EXPECT_EQ(1, bios.SPasswordState()) << "deleting with wrong keys must fail";
    EXPECT_EQ(-1, bios.ChkSupervisorPwd(KeyCodeString(kKeysAbcd)));

    bios.ClrSupervisorPwd(KeyCodeString(kKeysAbcd));
    EXPECT_EQ(0, bios.Status);
    EXPECT_EQ(0, bios.SPasswordState());
    EXPECT_EQ(0, bios.ChkSupervisorPwd(KeyCodeString(kKeysAbcd)));

    bios.SupervisorPwd(KeyCodeString(kKeysWxyz));
    EXPECT_EQ(-1, bios.ChkSupervisorPwd(KeyCodeString(kKeysWxyz))) << "after deleting, a new password can be registered";
}

TEST_F(FirmwareE2E, Dezez_ScuItemsAndBootOrder_RoundTrip) {
    DEZEZ bios(device, osVersion);
    bios.SCUItem3(7);
    bios.SCUItem14(1);
    bios.SetBootPriority("354021");
    bios.LEDOnOff(1);
    bios.USBChargeSleep(2);
    EXPECT_EQ(0, bios.Status);

    DEZEZ fresh(device, osVersion);
    EXPECT_EQ(7, fresh.SCUItem3());
    EXPECT_EQ(1, fresh.SCUItem14());
    EXPECT_EQ(0, fresh.SCUItem4()) << "writing one item leaves the others";
    fresh.GetBootPriority();
    const int boot[] = {fresh.BootDevice1(), fresh.BootDevice2(), fresh.BootDevice3(),
                        fresh.BootDevice4(), fresh.BootDevice5(), fresh.BootDevice6()};
    EXPECT_EQ((std::vector<int>{3, 5, 4, 0, 2, 1}), std::vector<int>(std::begin(boot), std::end(boot)));
    EXPECT_EQ(1, fresh.LEDOnOff());
    EXPECT_EQ(2, fresh.USBChargeSleep());
}

TEST_F(FirmwareE2E, State_SurvivesServiceRestart) {
    {
        DEZEZ bios(device, osVersion);
        bios.SupervisorPwd(KeyCodeString(kKeysAbcd));
        bios.SCUItem7(3);
        ASSERT_EQ(1, bios.SPasswordState());
    }
    restartDriver();
    DEZEZ bios(device, osVersion);
    EXPECT_EQ(1, bios.SPasswordState());
    EXPECT_EQ(-1, bios.ChkSupervisorPwd(KeyCodeString(kKeysAbcd)));
    EXPECT_EQ(0, bios.ChkSupervisorPwd(KeyCodeString(kKeysWxyz)));
    EXPECT_EQ(3, bios.SCUItem7());
}

// Reply byte 0 of one request sent straight to the device, as a program that bypasses
// DEZEZ would; -1 when the request fails.
int replyCode(BYTE function, std::initializer_list<BYTE> keys) {
    const UniqueFile h = openDevice();
    if (!h) return -1;
    Bytes in(33, 0);
    in[0] = function;
    std::copy(keys.begin(), keys.end(), in.begin() + 1);
    Bytes out(32, kMarker);
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(h.get(), kIoControl, in.data(), 33, out.data(), 32, &returned, nullptr);
    return ok ? out[0] : -1;
}

// Three wrong supervisor checks in a row (check or delete) lock both until the driver
// restarts, the right keys included; a right check in between ends the run.
TEST_F(FirmwareE2E, Lock_ThreeWrongChecksInARow_RefuseEvenTheRightKeysUntilRestart) {
    {
        DEZEZ bios(device, osVersion);
        bios.SupervisorPwd(KeyCodeString(kKeysAbcd));
        ASSERT_EQ(1, bios.SPasswordState());
    }
    const std::initializer_list<BYTE> right = {30, 48, 46, 32};
    const std::initializer_list<BYTE> wrong = {30, 48, 46, 18};
    const struct {
        const char* name;
        BYTE function;
        std::initializer_list<BYTE> keys;
        int expected;
    } steps[] = {
        {"wrong 1", 0xAF, wrong, BIOS_WRONG_PASSWORD},
        {"wrong 2", 0xAF, wrong, BIOS_WRONG_PASSWORD},
        {"right ends the run", 0xAF, right, BIOS_OK},
        {"wrong 1 again", 0xAF, wrong, BIOS_WRONG_PASSWORD},
        {"wrong delete 2", 0x87, wrong, BIOS_WRONG_PASSWORD},
        {"wrong 3", 0xAF, wrong, BIOS_WRONG_PASSWORD},
        {"right check refused", 0xAF, right, BIOS_LOCKED},
        {"right delete refused", 0x87, right, BIOS_LOCKED},
    };
    for (const auto& s : steps) EXPECT_EQ(s.expected, replyCode(s.function, s.keys)) << s.name;
    {
        DEZEZ bios(device, osVersion);
        EXPECT_EQ(0, bios.ChkSupervisorPwd(KeyCodeString(kKeysAbcd))) << "a locked check must not read as a match";
        EXPECT_EQ(1, bios.SPasswordState());
    }
    restartDriver();
    DEZEZ bios(device, osVersion);
    EXPECT_EQ(-1, bios.ChkSupervisorPwd(KeyCodeString(kKeysAbcd))) << "a power cycle ends the lock";
}

LONG stateValueQuery() {
    HKEY key;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, fwext::kServiceKey, 0, KEY_QUERY_VALUE, &key);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegQueryValueExA(key, fwext::kStateValue, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return rc;
}

TEST_F(FirmwareE2E, Save_OnlyWhenTheStateChanged) {
    DEZEZ bios(device, osVersion);
    bios.SCUItem3(0);
    bios.LEDOnOff(0);
    bios.SetBootPriority("012345");
    bios.ClrSupervisorPwd(KeyCodeString(kKeysAbcd));
    bios.ChkSupervisorPwd(KeyCodeString(kKeysAbcd));
    EXPECT_EQ(0, bios.Status);
    EXPECT_EQ(LONG(ERROR_FILE_NOT_FOUND), stateValueQuery()) << "requests that changed nothing were saved";
    bios.SCUItem3(1);
    EXPECT_EQ(LONG(ERROR_SUCCESS), stateValueQuery());
}

// With the service key gone under the running driver, no change can last: the request
// must fail and the running state stay as it was. Reads still answer.
TEST_F(FirmwareE2E, Save_FailedSave_FailsTheRequestAndUndoesTheChange) {
    ASSERT_EQ(LONG(ERROR_SUCCESS), RegDeleteKeyA(HKEY_LOCAL_MACHINE, fwext::kServiceKey));
    {
        DEZEZ bios(device, osVersion);
        bios.SCUItem3(7);
        EXPECT_EQ(-1, bios.Status);
        bios.SupervisorPwd(KeyCodeString(kKeysAbcd));
        EXPECT_EQ(-1, bios.Status);
        EXPECT_EQ(0, bios.SCUItem3());
        EXPECT_EQ(0, bios.SPasswordState());
        EXPECT_EQ(0, bios.Status) << "a read changes nothing and needs no save";
    }
    // The service's configuration writes the key again, so that the next test finds it.
    ASSERT_EQ(DWORD(ERROR_SUCCESS), fwext::install(programPath("fwext.sys")));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), fwext::start());
}

// The driver must start from the factory state when the saved value is not one it
// wrote; a value that passes is taken as it is.
TEST_F(FirmwareE2E, State_ForeignSavedValue_IsIgnoredAtStart) {
    BiosCoreState planted = factoryState();
    planted.supervisor_pwd.set = 1;
    Bytes good(sizeof planted);
    std::memcpy(good.data(), &planted, sizeof planted);
    Bytes longer = good;
    longer.push_back(0);
    Bytes shorter(good.begin(), good.end() - 1);
    Bytes foreignMagic = good;
    foreignMagic[0] ^= 0x20;
    struct Case {
        const char* name;
        DWORD type;
        Bytes bytes;
        int passwordState;
        const char* toolLine;
    } cases[] = {
        {"valid", REG_BINARY, good, 1, "saved state: yes"},
        {"one byte longer", REG_BINARY, longer, 0, "saved state: ignored"},
        {"one byte shorter", REG_BINARY, shorter, 0, "saved state: ignored"},
        {"other magic", REG_BINARY, foreignMagic, 0, "saved state: ignored"},
        {"not binary", REG_DWORD, good, 0, "saved state: ignored"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(DWORD(ERROR_SUCCESS), fwext::stop()) << c.name;
        ASSERT_TRUE(writeValue(HKEY_LOCAL_MACHINE, fwext::kServiceKey, fwext::kStateValue, c.type, c.bytes)) << c.name;
        ASSERT_EQ(DWORD(ERROR_SUCCESS), fwext::start()) << c.name;
        const UniqueFile h = openDevice();
        ASSERT_TRUE(h) << c.name;
        DEZEZ bios(device, osVersion);
        EXPECT_EQ(c.passwordState, bios.SPasswordState()) << c.name;
        const ToolRun run = runStateTool("");
        EXPECT_TRUE(hasLine(run.output, c.toolLine)) << c.name << ": expected \"" << c.toolLine << "\" in\n" << run.output;
    }
}

TEST_F(FirmwareE2E, StateTool_PrintsPasswordsAsSetOrNoneAndSettings_NeverTheKeys) {
    {
        DEZEZ bios(device, osVersion);
        bios.SupervisorPwd(KeyCodeString(kKeysAbcd));
        bios.SCUItem1(9);
        bios.SetBootPriority("012354");
        bios.LEDOnOff(1);
    }
    const ToolRun run = runStateTool("");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    const char* lines[] = {
        "saved state: yes",
        "supervisor password: set",
        "user password: none",
        "scu items: 0 9 0 0 0 0 0 0 0 0 0 0 0 0 0",
        "boot order: 0 1 2 3 5 4",
        "io devices: 1 1 1 1 1 1 1 1",
        "usb charge sleep: 0",
        "led: 1",
    };
    for (const char* line : lines) EXPECT_TRUE(hasLine(run.output, line)) << "expected \"" << line << "\" in\n" << run.output;
    EXPECT_TRUE(hasLine(run.output, "version: " + versionOf(factoryState()))) << run.output;
    for (const char* code : {" 30 48 46 32", "030", "1e 30 2e 20", "1E302E20"})
        EXPECT_EQ(std::string::npos, run.output.find(code)) << "the keys must not be printed: " << code;
}

TEST_F(FirmwareE2E, StateTool_Reset_RestoresFactoryStateInTheRunningDriver) {
    {
        DEZEZ bios(device, osVersion);
        bios.SupervisorPwd(KeyCodeString(kKeysAbcd));
        bios.UserPassword(KeyCodeString(kKeysWxyz));
        bios.SCUItem8(5);
        ASSERT_EQ(1, bios.SPasswordState());
    }
    const ToolRun run = runStateTool("reset");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(hasLine(run.output, "saved state: none")) << run.output;
    EXPECT_TRUE(hasLine(run.output, "supervisor password: none")) << run.output;
    EXPECT_TRUE(hasLine(run.output, "user password: none")) << run.output;
    EXPECT_EQ(DWORD(SERVICE_RUNNING), fwext::serviceState()) << "a running driver stays running";
    const UniqueFile h = openDevice();
    ASSERT_TRUE(h);
    DEZEZ bios(device, osVersion);
    EXPECT_EQ(0, bios.SPasswordState());
    EXPECT_EQ(0, bios.UserPasswordState());
    EXPECT_EQ(0, bios.SCUItem8());
}

TEST_F(FirmwareE2E, StateTool_RejectsUnknownArguments) {
    for (const char* arguments : {"resett", "reset now", "-h"}) {
        const ToolRun run = runStateTool(arguments);
        EXPECT_EQ(1u, run.exitCode) << arguments << ":\n" << run.output;
    }
}

}  // namespace

TEST_F(FirmwareE2E, Dezez_OwnerString_RoundTripsInBothForms) {
    struct Case {
        const char* what;
        std::u16string text;
    } cases[] = {
        {"single-byte, 32 characters", std::u16string(32, u'k')},
        {"single-byte, two blocks", u"Vantora notebook owned by the quality lab, room 4"},
        {"double-byte, 3 characters", u"\u5C71\u7530\u592A"},
        {"double-byte with ASCII", u"Owner \u5C71\u7530"},
    };
    for (const Case& c : cases) {
        DEZEZ bios(device, osVersion);
        bios.PwdOwnerString(c.text);
        EXPECT_EQ(0, bios.Status) << c.what;
        // The single-byte form reads back whole 32-byte blocks, zero-padded.
        DEZEZ fresh(device, osVersion);
        std::u16string back = fresh.PwdOwnerString();
        while (!back.empty() && back.back() == u'\0') back.pop_back();
        EXPECT_TRUE(back == c.text) << c.what << ": " << back.size() << " units back, " << c.text.size() << " sent";
    }
}

TEST_F(FirmwareE2E, Dezez_DriverStopped_ReadsGiveZeroAndStatusMinusOne) {
    {
        DEZEZ bios(device, osVersion);
        bios.SupervisorPwd(KeyCodeString(kKeysAbcd));
        bios.SCUItem14(1);
        bios.PwdOwnerString(u"kept");
    }
    ASSERT_EQ(DWORD(ERROR_SUCCESS), fwext::stop());
    DEZEZ bios(device, osVersion);
    EXPECT_EQ(0, bios.SPasswordState());
    EXPECT_EQ(-1, bios.Status);
    EXPECT_EQ(0, bios.ChkSupervisorPwd(KeyCodeString(kKeysAbcd)));
    EXPECT_EQ(-1, bios.Status);
    EXPECT_EQ(0, bios.SCUItem14());
    EXPECT_EQ("", bios.BIOSVersion());
    EXPECT_TRUE(bios.PwdOwnerString().empty());
    EXPECT_EQ(-1, bios.Status);
    restartDriver();
    DEZEZ back(device, osVersion);
    EXPECT_EQ(1, back.SCUItem14()) << "nothing was lost while the driver was away";
    EXPECT_EQ(0, back.Status);
}
