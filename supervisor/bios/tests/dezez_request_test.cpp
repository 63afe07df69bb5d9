// DEZEZ against a scripted device: the exact bytes on the wire and the decoding of replies.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <new>
#include <string>

#include "supervisor/bios/dezez.h"
#include "supervisor/bios/tests/dezez_test_support.h"

namespace vantora {
namespace {

using testing::bytesOf;
using testing::keys;
using testing::replyOf;
using testing::requestOf;

struct Rig {
    FakeFirmwareDevice device;
    FakeOsVersion os{5, 1};
    FakeSmiDll smi;
    DEZEZ bios{device, os, &smi};
};

TEST(DEZEZCreation, AsksWithSize148_AndUsesSmiDllOnlyFor410) {
    struct Case {
        std::uint32_t major, minor;
        bool fails;
        bool smi;
    };
    const Case cases[] = {{4, 10, false, true}, {4, 0, false, false},  {4, 90, false, false},
                          {5, 1, false, false}, {6, 10, false, false}, {4, 10, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor) + (c.fails ? " failing" : ""));
        FakeFirmwareDevice device;
        FakeOsVersion os(c.major, c.minor);
        os.setFails(c.fails);
        FakeSmiDll smi;
        DEZEZ bios(device, os, &smi);
        EXPECT_EQ(148u, os.askedSize());
        EXPECT_EQ(0, bios.Status);
        EXPECT_EQ(0, bios.GV3PPCMethod);
        EXPECT_EQ("", bios.BIOSDate);
        bios.SPasswordState();
        EXPECT_EQ(c.smi ? 1u : 0u, smi.requests().size());
        EXPECT_EQ(c.smi ? 0u : 1u, device.requests().size());
    }
}

TEST(DEZEZBiosCall, OpensAndClosesTheDeviceOncePerRequest) {
    Rig rig;
    rig.bios.SPasswordState();
    rig.bios.SCUItem14(1);
    rig.bios.PwdOwnerString(std::u16string(32, u'a'));  // two blocks, two requests

    ASSERT_EQ(4u, rig.device.opens().size());
    ASSERT_EQ(4u, rig.device.requests().size());
    ASSERT_EQ(4u, rig.device.closes().size());
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& open = rig.device.opens()[i];
        EXPECT_EQ("\\\\.\\KdaFwExt", open.path);
        EXPECT_EQ(kGenericRead, open.desiredAccess);
        EXPECT_EQ(kFileShareRead | kFileShareWrite, open.shareMode);
        EXPECT_EQ(kOpenExisting, open.creationDisposition);
        EXPECT_EQ(0u, open.flags);
        const auto& request = rig.device.requests()[i];
        EXPECT_EQ(open.handle, request.handle);
        EXPECT_EQ(0x9C416400u, request.ioControlCode);
        EXPECT_EQ(33u, request.inSize);
        EXPECT_EQ(32u, request.outSize);
        EXPECT_EQ(open.handle, rig.device.closes()[i]);
    }
    EXPECT_EQ(0, rig.device.openHandles());
}

TEST(DEZEZPassword, SendsGroupsAsBytes) {
    struct Case {
        const char* name;
        std::string pwd;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"empty", "", requestOf(0x86, {})},
        {"two keys", "030031", requestOf(0x86, {30, 31})},
        {"ten groups", "002003004005006007008009010011", requestOf(0x86, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11})},
        {"two-digit tail counts", "03012", requestOf(0x86, {30, 12})},
        {"one-digit tail dropped", "0301", requestOf(0x86, {30})},
        {"255 is a byte", "255000", requestOf(0x86, {255, 0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.bios.SupervisorPwd(keys(c.pwd));
        ASSERT_EQ(1u, rig.device.requests().size());
        EXPECT_EQ(c.expected, bytesOf(rig.device.requests()[0].bytes));
    }
}

TEST(DEZEZPassword, EachOperationUsesItsFunction) {
    struct Case {
        const char* name;
        std::function<void(DEZEZ&)> call;
        int function;
    };
    const Case cases[] = {
        {"UserPassword", [](DEZEZ& b) { b.UserPassword(keys("045")); }, 0x83},
        {"SupervisorPwd", [](DEZEZ& b) { b.SupervisorPwd(keys("045")); }, 0x86},
        {"ClrSupervisorPwd", [](DEZEZ& b) { b.ClrSupervisorPwd(keys("045")); }, 0x87},
        {"ChkUserPwd", [](DEZEZ& b) { b.ChkUserPwd(keys("045")); }, 0xAE},
        {"ChkSupervisorPwd", [](DEZEZ& b) { b.ChkSupervisorPwd(keys("045")); }, 0xAF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        c.call(rig.bios);
        ASSERT_EQ(1u, rig.device.requests().size());
        EXPECT_EQ(requestOf(c.function, {45}), bytesOf(rig.device.requests()[0].bytes));
    }
}

TEST(DEZEZPassword, ClrUserPwd_SendsSameBlockTwice_AndStopsAtFirstFailure) {
    Rig rig;
    rig.bios.ClrUserPwd(keys("030031"));
    ASSERT_EQ(2u, rig.device.requests().size());
    EXPECT_EQ(requestOf(0x84, {30, 31}), bytesOf(rig.device.requests()[0].bytes));
    EXPECT_EQ(requestOf(0x82, {30, 31}), bytesOf(rig.device.requests()[1].bytes));
    EXPECT_EQ(0, rig.bios.Status);

    Rig failing;
    failing.device.failRequestAt(0);
    failing.bios.ClrUserPwd(keys("030031"));
    EXPECT_EQ(1u, failing.device.opens().size());
    EXPECT_EQ(-1, failing.bios.Status);

    Rig secondFails;
    secondFails.device.failRequestAt(1);
    secondFails.bios.ClrUserPwd(keys("030031"));
    EXPECT_EQ(2u, secondFails.device.requests().size());
    EXPECT_EQ(-1, secondFails.bios.Status);
}

TEST(DEZEZPassword, CheckDecodesReplyByte0_AndFailureIsNoMatch) {
    struct Case {
        const char* name;
        int replyByte0;
        bool requestFails;
        int expected;
        std::uint32_t replyBytes = 32;
    };
    // A reply that is not whole must not read as "matches" from bytes the driver never wrote.
    const Case cases[] = {{"matches", 0, false, -1},       {"wrong", 1, false, 0},
                          {"request failed", 0, true, 0},  {"no reply bytes", 0, true, 0, 0},
                          {"31 reply bytes", 0, true, 0, 31}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.device.setReply(0xAF, replyOf({c.replyByte0}));
        rig.device.setReply(0xAE, replyOf({c.replyByte0}));
        rig.device.setReplyBytes(c.replyBytes);
        if (c.requestFails && c.replyBytes == 32) rig.device.setDeviceMissing(true);
        EXPECT_EQ(c.expected, rig.bios.ChkSupervisorPwd(keys("030")));
        EXPECT_EQ(c.expected, rig.bios.ChkUserPwd(keys("030")));
        EXPECT_EQ(c.requestFails ? -1 : 0, rig.bios.Status);
    }
}

// The object's own memory must not keep a password after the call, also when a later
// group was malformed and the call threw.
TEST(DEZEZPassword, WipesPasswordBytesFromTheObject) {
    const std::string pwd = "201202203204";
    const unsigned char pattern[] = {201, 202, 203, 204};
    const std::function<void(DEZEZ&)> calls[] = {
        [&](DEZEZ& b) { b.SupervisorPwd(keys(pwd)); },
        [&](DEZEZ& b) { b.ClrUserPwd(keys(pwd)); },
        [&](DEZEZ& b) { b.ChkSupervisorPwd(keys(pwd)); },
        [&](DEZEZ& b) { EXPECT_THROW(b.ClrSupervisorPwd(keys(pwd + "2x5")), BiosArgumentError); },
    };
    for (const auto& call : calls) {
        Rig rig;
        call(rig.bios);
        const auto* raw = reinterpret_cast<const unsigned char*>(&rig.bios);
        const auto* end = raw + sizeof(DEZEZ);
        EXPECT_EQ(end, std::search(raw, end, std::begin(pattern), std::end(pattern)))
            << "password bytes left in the DEZEZ object";
    }
}

TEST(DEZEZArguments, MalformedArgumentsThrow_AndSendNothing) {
    struct Case {
        const char* name;
        std::function<void(DEZEZ&)> call;
    };
    const Case cases[] = {
        {"group not a number", [](DEZEZ& b) { b.SupervisorPwd(keys("0300a1")); }},
        {"group with sign", [](DEZEZ& b) { b.ChkSupervisorPwd(keys("-01")); }},
        {"group over 255", [](DEZEZ& b) { b.UserPassword(keys("030256")); }},
        {"clear user, bad group", [](DEZEZ& b) { b.ClrUserPwd(keys("03 ")); }},
        {"boot digit", [](DEZEZ& b) { b.SetBootPriority("12x456"); }},
        {"boot too short", [](DEZEZ& b) { b.SetBootPriority("1234"); }},
        {"boot empty", [](DEZEZ& b) { b.SetBootPriority(""); }},
        {"IODevLSet 33 chars", [](DEZEZ& b) { b.IODevLSet(std::string(33, '1')); }},
        {"IODevLSet non-digit", [](DEZEZ& b) { b.IODevLSet("01a"); }},
        {"SCU item over 255", [](DEZEZ& b) { b.SCUItem14(256); }},
        {"SCU item negative", [](DEZEZ& b) { b.SCUItem1(-1); }},
        {"USB charge over 255", [](DEZEZ& b) { b.USBChargeSleep(300); }},
        {"LED negative", [](DEZEZ& b) { b.LEDOnOff(-5); }},
        {"boot device over 255", [](DEZEZ& b) { b.BootDevice3(256); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        EXPECT_THROW(c.call(rig.bios), BiosArgumentError);
        EXPECT_EQ(0u, rig.device.opens().size());
    }
}

TEST(DEZEZSettings, WritesExactRequestBytes) {
    struct Case {
        const char* name;
        std::function<void(DEZEZ&)> call;
        std::vector<int> expected;
    };
    std::vector<int> scu14 = requestOf(0x8B, {}, 0);
    for (int i = 1; i <= 14; ++i) scu14[i] = 0xFF;
    std::vector<int> scu1 = requestOf(0x8B, {}, 0);
    for (int i = 1; i <= 15; ++i) scu1[i] = 0xFF;
    scu1[2] = 5;
    const Case cases[] = {
        {"SCUItem14 = 0", [](DEZEZ& b) { b.SCUItem14(0); }, scu14},
        {"SCUItem1 = 5", [](DEZEZ& b) { b.SCUItem1(5); }, scu1},
        {"IODevLSet 0312", [](DEZEZ& b) { b.IODevLSet("0312"); }, requestOf(0x91, {0x00, 0xFF, 0x01, 0x02})},
        {"IODevLSet empty", [](DEZEZ& b) { b.IODevLSet(""); }, requestOf(0x91, {})},
        {"SetBootPriority 12345", [](DEZEZ& b) { b.SetBootPriority("12345"); },
         requestOf(0x93, {1, 2, 3, 4, 5, 0xFF}, 0xFF)},
        {"SetBootPriority 654321", [](DEZEZ& b) { b.SetBootPriority("654321"); },
         requestOf(0x93, {6, 5, 4, 3, 2, 1}, 0xFF)},
        {"SetBootPriority 7 digits", [](DEZEZ& b) { b.SetBootPriority("0123459"); },
         requestOf(0x93, {0, 1, 2, 3, 4, 5}, 0xFF)},
        {"USBChargeSleep = 1", [](DEZEZ& b) { b.USBChargeSleep(1); }, requestOf(0x98, {1})},
        {"LEDOnOff = 255", [](DEZEZ& b) { b.LEDOnOff(255); }, requestOf(0x9A, {255})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        c.call(rig.bios);
        ASSERT_EQ(1u, rig.device.requests().size());
        EXPECT_EQ(c.expected, bytesOf(rig.device.requests()[0].bytes));
    }
}

TEST(DEZEZSettings, ReadsDecodeTheirReplyByte) {
    Rig rig;
    rig.device.setReply(0x8A, replyOf({9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    rig.device.setReply(0x97, replyOf({0x21}));
    rig.device.setReply(0x99, replyOf({0x42}));
    rig.device.setReply(0x82, replyOf({3}));
    rig.device.setReply(0x85, replyOf({1}));
    EXPECT_EQ(1, rig.bios.SCUItem1());
    EXPECT_EQ(3, rig.bios.SCUItem3());
    EXPECT_EQ(7, rig.bios.SCUItem7());
    EXPECT_EQ(14, rig.bios.SCUItem14());
    EXPECT_EQ(0x21, rig.bios.USBChargeSleep());
    EXPECT_EQ(0x42, rig.bios.LEDOnOff());
    EXPECT_EQ(3, rig.bios.UserPasswordState());
    EXPECT_EQ(1, rig.bios.SPasswordState());
    EXPECT_EQ(requestOf(0x8A, {}), bytesOf(rig.device.requests()[0].bytes));
}

TEST(DEZEZBoot, BootDevice3_ReadsCurrentUntilWritten) {
    Rig rig;
    rig.device.setReply(0x92, replyOf({10, 11, 12, 13, 14, 15}));
    rig.bios.GetBootPriority();
    EXPECT_EQ(12, rig.bios.BootDevice3());
    rig.bios.BootDevice3(7);
    EXPECT_EQ(7, rig.bios.BootDevice3());
    EXPECT_EQ(13, rig.bios.BootDevice4());
    EXPECT_EQ(1u, rig.device.requests().size()) << "BootDevice must not issue requests";
    rig.bios.GetBootPriority();
    EXPECT_EQ(12, rig.bios.BootDevice3()) << "GetBootPriority drops pending writes";
}

TEST(DEZEZFailure, DeviceMissing_ReadsGiveZeroAndStatusMinusOne) {
    Rig rig;
    rig.device.setDeviceMissing(true);
    const std::function<int(DEZEZ&)> reads[] = {
        [](DEZEZ& b) { return int(b.SPasswordState()); },   [](DEZEZ& b) { return int(b.UserPasswordState()); },
        [](DEZEZ& b) { return int(b.SCUItem14()); },        [](DEZEZ& b) { return int(b.USBChargeSleep()); },
        [](DEZEZ& b) { return int(b.LEDOnOff()); },         [](DEZEZ& b) { return int(b.MachineInfo()); },
        [](DEZEZ& b) { return int(b.BIOSVersion().size()); },
        [](DEZEZ& b) { return int(b.PwdOwnerString().size()); },
        [](DEZEZ& b) { b.GetBootPriority(); return int(b.BootDevice1()) + b.BootDevice6(); },
    };
    int index = 0;
    for (const auto& read : reads) {
        SCOPED_TRACE(index++);
        rig.bios.Status = 12345;
        EXPECT_EQ(0, read(rig.bios));
        EXPECT_EQ(-1, rig.bios.Status);
    }
    EXPECT_EQ(0u, rig.device.requests().size());
    EXPECT_EQ(0u, rig.device.closes().size());
}

TEST(DEZEZFailure, FailedRequestGivesZeroValues_AndNextSuccessClearsStatus) {
    Rig rig;
    rig.device.setReply(0x8A, replyOf({7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7}));
    rig.device.setReply(0xCF, replyOf({9, 5, 1, 1}));
    rig.device.failRequestAt(0);
    EXPECT_EQ(0, rig.bios.SCUItem14());
    EXPECT_EQ(-1, rig.bios.Status);
    EXPECT_EQ(1u, rig.device.closes().size()) << "the handle is closed after a failed request";
    EXPECT_EQ(7, rig.bios.SCUItem14());
    EXPECT_EQ(0, rig.bios.Status);

    rig.device.failRequestAt(2);
    rig.bios.LPTPort = 0x55;
    EXPECT_EQ(0, rig.bios.MachineInfo());
    EXPECT_EQ(0x55, rig.bios.LPTPort) << "members keep their values on failure";
}

TEST(DEZEZMachineInfo, DecodesFlagsAndTypes) {
    struct Case {
        int b0, b1, b2, b3;
        int result, lpt, c1394, cpu, display;
    };
    const Case cases[] = {
        {0, 0x00, 0, 0, 0, 0, 0, 0, 0},      {3, 0x01, 1, 1, 3, -1, 0, 1, 1},
        {0, 0x04, 4, 2, 0, 0, -1, 4, 2},     {0x80, 0xFA, 3, 0xFF, 0x80, 0, 0, 2, 2},
        {1, 0x05, 2, 7, 1, -1, -1, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.b0) + "," + std::to_string(c.b1) + "," + std::to_string(c.b2) + "," +
                     std::to_string(c.b3));
        Rig rig;
        rig.device.setReply(0xCF, replyOf({c.b0, c.b1, c.b2, c.b3}));
        EXPECT_EQ(c.result, rig.bios.MachineInfo());
        EXPECT_EQ(c.lpt, rig.bios.LPTPort);
        EXPECT_EQ(c.c1394, rig.bios.connector1394);
        EXPECT_EQ(c.cpu, rig.bios.CPUType);
        EXPECT_EQ(c.display, rig.bios.displayType);
    }
}

TEST(DEZEZVersion, DriverPathStopsAtZero_SmiPathSplitsDate) {
    const FirmwareReply reply = replyOf({'R', '1', '.', '2', 0, '0', '5', '/', '0', '1', 0, 'X', 'Y'});
    Rig driver;
    driver.device.setReply(0x80, reply);
    driver.bios.BIOSDate = "stale";
    EXPECT_EQ("R1.2", driver.bios.BIOSVersion());
    EXPECT_EQ("", driver.bios.BIOSDate);
    EXPECT_EQ(requestOf(0x80, {}), bytesOf(driver.device.requests()[0].bytes));

    FakeFirmwareDevice device;
    FakeOsVersion win98(4, 10);
    FakeSmiDll smi;
    smi.setReply(reply);
    DEZEZ bios(device, win98, &smi);
    EXPECT_EQ("R1.2", bios.BIOSVersion());
    EXPECT_EQ("05/01", bios.BIOSDate);
    EXPECT_EQ(0u, device.opens().size());

    FirmwareReply full;
    full.fill('v');
    driver.device.setReply(0x80, full);
    EXPECT_EQ(std::string(32, 'v'), driver.bios.BIOSVersion());
}

TEST(DEZEZSmiDll, UnloadableLibraryOrZeroReturnFailsTheRequest) {
    FakeFirmwareDevice device;
    FakeOsVersion win98(4, 10);
    FakeSmiDll smi;
    smi.setReply(replyOf({1}));
    DEZEZ bios(device, win98, &smi);

    smi.setBindFails(true);
    EXPECT_EQ(0, bios.SPasswordState());
    EXPECT_EQ(-1, bios.Status);
    EXPECT_EQ(0u, smi.requests().size());

    smi.setBindFails(false);
    smi.failCallAt(0);
    EXPECT_EQ(0, bios.SPasswordState());
    EXPECT_EQ(-1, bios.Status);

    EXPECT_EQ(1, bios.SPasswordState());
    EXPECT_EQ(0, bios.Status);
    EXPECT_EQ(requestOf(0x85, {}), bytesOf(smi.requests()[1]));
    EXPECT_EQ(smi.binds() - 1, smi.releases()) << "every successful bind is released";

    DEZEZ withoutDll(device, win98, nullptr);
    EXPECT_EQ(0, withoutDll.SPasswordState());
    EXPECT_EQ(-1, withoutDll.Status);
    EXPECT_EQ(0u, device.opens().size());
}

std::vector<int> block(int function, const std::u16string& text, std::size_t from) {
    std::vector<int> bytes(33, 0);
    bytes[0] = function;
    for (std::size_t j = 0; j < 32 && from + j < text.size(); ++j) bytes[j + 1] = text[from + j];
    return bytes;
}

TEST(DEZEZOwnerString, SingleByte_PadsToNextBlock_AndFullTextHasNoZeroBlock) {
    std::u16string text32;
    for (int i = 0; i < 32; ++i) text32.push_back(static_cast<char16_t>('A' + i % 26));
    Rig rig;
    rig.bios.PwdOwnerString(text32);
    ASSERT_EQ(2u, rig.device.requests().size());
    EXPECT_EQ(block(0x88, text32, 0), bytesOf(rig.device.requests()[0].bytes));
    EXPECT_EQ(requestOf(0x88, {}), bytesOf(rig.device.requests()[1].bytes));

    std::u16string text512;
    for (int i = 0; i < 512; ++i) text512.push_back(static_cast<char16_t>(0x20 + i % 0x5F));
    for (const std::size_t extra : {0u, 88u}) {
        SCOPED_TRACE(512 + extra);
        Rig full;
        full.bios.PwdOwnerString(text512 + std::u16string(extra, u'z'));
        ASSERT_EQ(16u, full.device.requests().size());
        for (std::size_t b = 0; b < 16; ++b)
            EXPECT_EQ(block(0x88, text512, b * 32), bytesOf(full.device.requests()[b].bytes)) << "block " << b;
    }

    Rig empty;
    empty.bios.PwdOwnerString(u"");
    ASSERT_EQ(1u, empty.device.requests().size());
    EXPECT_EQ(requestOf(0x88, {}), bytesOf(empty.device.requests()[0].bytes));

    Rig wide;
    wide.bios.PwdOwnerString(u"a\u3000b");  // low byte 0: still single-byte, no code for it
    EXPECT_EQ(requestOf(0x88, {'a', '?', 'b'}), bytesOf(wide.device.requests()[0].bytes));
}

TEST(DEZEZOwnerString, DoubleByte_SendsPairsAndOneEndMark) {
    Rig rig;
    rig.bios.PwdOwnerString(u"\u65E5A\u672C");
    ASSERT_EQ(1u, rig.device.requests().size());
    EXPECT_EQ(requestOf(0x88, {0xE5, 0x65, 'A', 0xFF, 0x2C, 0x67, 0xFF, 0x00}),
              bytesOf(rig.device.requests()[0].bytes));

    // 16 characters fill one block exactly; the end mark needs a block of its own.
    std::u16string text16(16, u'\u4E01');
    Rig exact;
    exact.bios.PwdOwnerString(text16);
    ASSERT_EQ(2u, exact.device.requests().size());
    const auto endBlock = bytesOf(exact.device.requests()[1].bytes);
    EXPECT_EQ(0xFF, endBlock[1]);
    EXPECT_EQ(0x00, endBlock[2]);
}

TEST(DEZEZOwnerString, DoubleByteOver255_IsCutAndKeepsItsEndMark) {
    for (const std::size_t length : {255u, 256u, 300u}) {
        SCOPED_TRACE(length);
        Rig rig;
        rig.bios.PwdOwnerString(std::u16string(length, u'\u4E01'));
        ASSERT_EQ(16u, rig.device.requests().size());
        const auto last = bytesOf(rig.device.requests()[15].bytes);
        EXPECT_EQ(0x01, last[29]);
        EXPECT_EQ(0x4E, last[30]);
        EXPECT_EQ(0xFF, last[31]) << "end mark after character 255";
        EXPECT_EQ(0x00, last[32]);
    }
}

TEST(DEZEZOwnerString, WriteStopsAtFirstFailedBlock) {
    Rig rig;
    rig.device.failRequestAt(1);
    rig.bios.PwdOwnerString(std::u16string(64, u'q'));  // 3 blocks when all succeed
    EXPECT_EQ(2u, rig.device.requests().size());
    EXPECT_EQ(-1, rig.bios.Status);
}

TEST(DEZEZOwnerString, ReadStopsAtZero_AndFFSwitchesToDoubleByte) {
    Rig rig;
    rig.device.setReply(0x89, replyOf({'H', 'i', 0, 'x'}));
    EXPECT_EQ(u"Hi", rig.bios.PwdOwnerString());
    ASSERT_EQ(1u, rig.device.requests().size());
    EXPECT_EQ(requestOf(0x89, {}, 0), bytesOf(rig.device.requests()[0].bytes));

    Rig ff;
    ff.device.setReply(0x89, replyOf({'A', 0xFF, 'B', 0xFF, 0}));
    std::u16string expected(256, u'\0');
    expected[0] = u'A';
    expected[1] = u'B';
    EXPECT_EQ(expected, ff.bios.PwdOwnerString());
}

TEST(DEZEZOwnerString, ReadAsksEveryBlockByNumber) {
    Rig rig;
    FirmwareReply full;
    full.fill('k');
    rig.device.setReply(0x89, full);
    EXPECT_EQ(std::u16string(512, u'k'), rig.bios.PwdOwnerString());
    ASSERT_EQ(16u, rig.device.requests().size());
    for (int b = 0; b < 16; ++b) EXPECT_EQ(requestOf(0x89, {}, b), bytesOf(rig.device.requests()[b].bytes));
}

}  // namespace
}  // namespace vantora
