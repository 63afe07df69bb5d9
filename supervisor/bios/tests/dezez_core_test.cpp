// DEZEZ against the simulated BIOS: what the utility writes is what it reads back.
#include <gtest/gtest.h>

#include <string>

#include "supervisor/bios/dezez.h"
#include "supervisor/bios/tests/dezez_test_support.h"

namespace vantora {
namespace {

using testing::keys;

struct CoreRig {
    CoreRig() { bios_core_init(&core); }
    BiosCoreState core;
    FakeFirmwareDevice device{&core};
    FakeOsVersion os{5, 1};
    DEZEZ bios{device, os};
};

std::u16string trimZeros(std::u16string s) {
    while (!s.empty() && s.back() == u'\0') s.pop_back();
    return s;
}

TEST(DEZEZWithCore, SupervisorPassword_RegisterCheckDelete) {
    CoreRig rig;
    const std::string pwd = "030048046";
    EXPECT_EQ(0, rig.bios.SPasswordState());
    rig.bios.SupervisorPwd(keys(pwd));
    EXPECT_EQ(0, rig.bios.Status);
    EXPECT_NE(0, rig.bios.SPasswordState());

    EXPECT_EQ(-1, rig.bios.ChkSupervisorPwd(keys(pwd)));
    EXPECT_EQ(0, rig.bios.ChkSupervisorPwd(keys("030048")));
    EXPECT_EQ(0, rig.bios.ChkSupervisorPwd(keys("030048046047"))) << "an extra key is a different password";

    rig.bios.SupervisorPwd(keys("016017"));
    EXPECT_EQ(-1, rig.bios.ChkSupervisorPwd(keys(pwd))) << "a second registration must not replace the first";

    rig.bios.ClrSupervisorPwd(keys("016017"));
    EXPECT_NE(0, rig.bios.SPasswordState()) << "deleting with wrong keys must fail";
    rig.bios.ClrSupervisorPwd(keys(pwd));
    EXPECT_EQ(0, rig.bios.SPasswordState());
    EXPECT_EQ(0, rig.bios.ChkSupervisorPwd(keys(pwd))) << "no password registered: nothing matches";
}

TEST(DEZEZWithCore, UserPassword_RegisterCheckDelete) {
    CoreRig rig;
    rig.bios.UserPassword(keys("031032"));
    EXPECT_NE(0, rig.bios.UserPasswordState());
    EXPECT_EQ(-1, rig.bios.ChkUserPwd(keys("031032")));
    EXPECT_EQ(0, rig.bios.ChkSupervisorPwd(keys("031032")));
    rig.bios.ClrUserPwd(keys("031033"));
    EXPECT_NE(0, rig.bios.UserPasswordState());
    rig.bios.ClrUserPwd(keys("031032"));
    EXPECT_EQ(0, rig.bios.UserPasswordState());
}

TEST(DEZEZWithCore, OwnerString_RoundTripsBothForms) {
    const std::u16string cases[] = {
        u"Property of Vantora",
        std::u16string(32, u'x'),
        std::u16string(511, u'y'),
        std::u16string(512, u'z'),
        u"\u5C71\u7530\u592A\u90CE",
        std::u16string(255, u'\u4E01'),
        u"Mixed \u6F22\u5B57 text",
    };
    CoreRig rig;
    rig.bios.PwdOwnerString(std::u16string(512, u'#'));  // older, longer text must not show through
    for (const auto& text : cases) {
        SCOPED_TRACE(text.size());
        rig.bios.PwdOwnerString(text);
        EXPECT_EQ(0, rig.bios.Status);
        EXPECT_EQ(text, trimZeros(rig.bios.PwdOwnerString()));
    }
}

TEST(DEZEZWithCore, ScuItem14_ChangesOnlyItself) {
    CoreRig rig;
    rig.bios.SCUItem13(9);
    rig.bios.SCUItem14(1);
    EXPECT_EQ(1, rig.bios.SCUItem14());
    rig.bios.SCUItem14(0);
    EXPECT_EQ(0, rig.bios.SCUItem14());
    EXPECT_EQ(9, rig.bios.SCUItem13());
}

TEST(DEZEZWithCore, BootOrder_SetThenGet) {
    CoreRig rig;
    rig.bios.SetBootPriority("543210");
    rig.bios.GetBootPriority();
    const int expected[] = {5, 4, 3, 2, 1, 0};
    const int actual[] = {rig.bios.BootDevice1(), rig.bios.BootDevice2(), rig.bios.BootDevice3(),
                          rig.bios.BootDevice4(), rig.bios.BootDevice5(), rig.bios.BootDevice6()};
    EXPECT_EQ(std::vector<int>(std::begin(expected), std::end(expected)),
              std::vector<int>(std::begin(actual), std::end(actual)));

    rig.bios.SetBootPriority("12345");  // the sixth stays as it was
    rig.bios.GetBootPriority();
    EXPECT_EQ(5, rig.bios.BootDevice5());
    EXPECT_EQ(0, rig.bios.BootDevice6());
}

// The firmware's lock answers with a code of its own; DEZEZ must read it as "no match",
// also for the right keys.
TEST(DEZEZWithCore, LockedSupervisorCheck_NeverReadsAsAMatch) {
    CoreRig rig;
    rig.bios.SupervisorPwd(keys("030048"));
    for (int i = 0; i < BIOS_CHECK_TRIES; ++i) EXPECT_EQ(0, rig.bios.ChkSupervisorPwd(keys("030049")));
    EXPECT_EQ(0, rig.bios.ChkSupervisorPwd(keys("030048")));
    EXPECT_EQ(0, rig.bios.Status) << "a refused check is an answer, not a failed request";
    rig.bios.ClrSupervisorPwd(keys("030048"));
    EXPECT_EQ(1, rig.bios.SPasswordState());
}

TEST(DEZEZWithCore, SmiDllPath_ReachesTheSameFirmware) {
    BiosCoreState core;
    bios_core_init(&core);
    FakeFirmwareDevice device;
    FakeOsVersion win98(4, 10);
    FakeSmiDll smi(&core);
    DEZEZ bios(device, win98, &smi);
    bios.SupervisorPwd(keys("030"));
    EXPECT_EQ(-1, bios.ChkSupervisorPwd(keys("030")));
    EXPECT_EQ("VANTORA BIOS 1.00", bios.BIOSVersion());
    EXPECT_EQ(0u, device.opens().size());
}

}  // namespace
}  // namespace vantora
