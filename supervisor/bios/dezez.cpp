#include "supervisor/bios/dezez.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string_view>

#include "common/secure_wipe.h"

namespace vantora {

namespace {

constexpr std::size_t kRequestSize = 33;
constexpr std::size_t kReplySize = 32;
constexpr std::size_t kMaxPasswordKeys = 10;
constexpr std::size_t kOwnerBlocks = 16;
constexpr std::size_t kSingleByteOwnerFull = 512;
constexpr std::size_t kDoubleByteOwnerFull = 256;
constexpr std::size_t kDoubleByteOwnerMax = 255;

std::uint8_t toByte(std::int32_t value) {
    if (value < 0 || value > 255) throw BiosArgumentError("BIOS byte value out of range: " + std::to_string(value));
    return static_cast<std::uint8_t>(value);
}

std::uint8_t digitValue(char c, const char* what) {
    if (c < '0' || c > '9') throw BiosArgumentError(std::string(what) + " is not a digit");
    return static_cast<std::uint8_t>(c - '0');
}

std::int16_t boolean16(bool value) { return value ? -1 : 0; }

}  // namespace

DEZEZ::DEZEZ(FirmwareDevicePort& device, OsVersionPort& osVersion, SmiDllPort* smiDll)
    : device_(device), smiDll_(smiDll) {
    OsVersionInfo info;
    info.osVersionInfoSize = sizeof(OsVersionInfo);
    if (osVersion.GetVersionExA(&info) != 0)
        UseSmiDll = info.majorVersion == 4 && info.minorVersion == 10;
}

DEZEZ::~DEZEZ() { wipeBlocks(); }

void DEZEZ::wipeBlocks() {
    secureWipe(RequestBlock, sizeof(RequestBlock));
    secureWipe(ReplyBlock, sizeof(ReplyBlock));
}

void DEZEZ::BiosCall(std::uint32_t ioControlCode, std::uint8_t function, std::int32_t& result) {
    RequestBlock[0] = function;
    result = -1;
    if (UseSmiDll) {
        // Windows 4.10 has no driver; the library is bound per request so that a missing
        // DEZEZ.dll is just a failed request.
        if (smiDll_ == nullptr || !smiDll_->bind()) return;
        const std::int32_t ok = smiDll_->IoSmiCmd(RequestBlock, ReplyBlock);
        smiDll_->release();
        result = ok == 0 ? -1 : 0;
        return;
    }
    const DeviceHandle handle = device_.CreateFileA(kFwExtDevicePath, kGenericRead, kFileShareRead | kFileShareWrite,
                                                    kOpenExisting, 0);
    if (handle == kInvalidHandleValue) return;
    // Reply byte 0 = 0 means "the password matches": a reply the driver did not write
    // in full must read as nothing, so the block starts as no answer at all, and a short
    // one is a failed request, which leaves the zero values of a failure.
    std::fill(std::begin(ReplyBlock), std::end(ReplyBlock), std::uint8_t{0xFF});
    std::uint32_t bytesReturned = 0;
    const std::int32_t ok = device_.DeviceIoControl(handle, ioControlCode, RequestBlock, kRequestSize, ReplyBlock,
                                                    kReplySize, &bytesReturned);
    result = ok != 0 && bytesReturned == kReplySize ? 0 : -1;
    if (result != 0) std::fill(std::begin(ReplyBlock), std::end(ReplyBlock), std::uint8_t{0});
    device_.CloseHandle(handle);
}

void DEZEZ::prepare(std::uint8_t parameterDefault) {
    Status = 0;
    for (std::size_t i = 1; i < kRequestSize; ++i) RequestBlock[i] = parameterDefault;
    for (std::size_t i = 0; i < kReplySize; ++i) ReplyBlock[i] = 0;
}

bool DEZEZ::request(std::uint8_t function) {
    std::int32_t result = 0;
    BiosCall(kFwExtIoControl, function, result);
    if (result == -1) Status = -1;
    return result == 0;
}

// The keys arrive as bytes: a malformed text form was refused when it was read.
void DEZEZ::storePasswordGroups(const KeyCodeString& PwdStr) {
    for (std::size_t j = 0; j < PwdStr.groupCount() && j < kMaxPasswordKeys; ++j) RequestBlock[j + 1] = PwdStr.scanCode(j);
}

std::string DEZEZ::BIOSVersion() {
    std::string text;
    BIOSDate.clear();
    prepare(0);
    if (!request(0x80)) return text;
    int section = 0;
    for (std::size_t b = 0; b < kReplySize; ++b) {
        const std::uint8_t c = ReplyBlock[b];
        if (c == 0 && !UseSmiDll) break;
        if (c == 0) {
            ++section;
        } else if (section == 0) {
            text.push_back(static_cast<char>(c));
        } else if (section == 1) {
            BIOSDate.push_back(static_cast<char>(c));
        }
    }
    return text;
}

std::int16_t DEZEZ::readByte0(std::uint8_t function) {
    prepare(0);
    request(function);
    return ReplyBlock[0];
}

void DEZEZ::writeByte1(std::uint8_t function, std::int32_t State) {
    const std::uint8_t value = toByte(State);
    prepare(0);
    RequestBlock[1] = value;
    request(function);
}

std::int16_t DEZEZ::UserPasswordState() { return readByte0(0x82); }
std::int16_t DEZEZ::SPasswordState() { return readByte0(0x85); }

void DEZEZ::UserPassword(const KeyCodeString& PwdStr) {
    const WipeOnScopeExit wipe(RequestBlock, sizeof RequestBlock);
    prepare(0);
    storePasswordGroups(PwdStr);
    request(0x83);
}

void DEZEZ::ClrUserPwd(const KeyCodeString& PwdStr) {
    const WipeOnScopeExit wipe(RequestBlock, sizeof RequestBlock);
    prepare(0);
    storePasswordGroups(PwdStr);
    if (!request(0x84)) return;
    request(0x82);
}

void DEZEZ::SupervisorPwd(const KeyCodeString& PwdStr) {
    const WipeOnScopeExit wipe(RequestBlock, sizeof RequestBlock);
    prepare(0);
    storePasswordGroups(PwdStr);
    request(0x86);
}

void DEZEZ::ClrSupervisorPwd(const KeyCodeString& PwdStr) {
    const WipeOnScopeExit wipe(RequestBlock, sizeof RequestBlock);
    prepare(0);
    storePasswordGroups(PwdStr);
    request(0x87);
}

std::int16_t DEZEZ::ChkUserPwd(const KeyCodeString& PwdStr) {
    const WipeOnScopeExit wipe(RequestBlock, sizeof RequestBlock);
    prepare(0);
    storePasswordGroups(PwdStr);
    if (!request(0xAE)) return 0;
    return boolean16(ReplyBlock[0] == 0);
}

std::int16_t DEZEZ::ChkSupervisorPwd(const KeyCodeString& PwdStr) {
    const WipeOnScopeExit wipe(RequestBlock, sizeof RequestBlock);
    prepare(0);
    storePasswordGroups(PwdStr);
    // A failed request leaves reply byte 0 at zero, which must not read as "matches".
    if (!request(0xAF)) return 0;
    return boolean16(ReplyBlock[0] == 0);
}

void DEZEZ::PwdOwnerString(const std::u16string& OwnerString) {
    prepare(0);
    bool doubleByte = false;
    for (char16_t c : OwnerString)
        if ((c & 0x00FF) != 0 && (c & 0xFF00) != 0) doubleByte = true;
    if (doubleByte)
        sendDoubleByteOwner(OwnerString);
    else
        sendSingleByteOwner(OwnerString);
}

void DEZEZ::sendSingleByteOwner(const std::u16string& OwnerString) {
    // The firmware holds 16 blocks; a longer text is cut rather than sent as a 17th block.
    std::u16string text = OwnerString.substr(0, kSingleByteOwnerFull);
    if (text.size() < kSingleByteOwnerFull) text.resize((text.size() / 32 + 1) * 32, u'\0');
    for (std::size_t block = 0; block < text.size() / 32; ++block) {
        for (std::size_t j = 0; j < 32; ++j) {
            const char16_t c = text[block * 32 + j];
            RequestBlock[j + 1] = c > 0xFF ? static_cast<std::uint8_t>('?') : static_cast<std::uint8_t>(c);
        }
        if (!request(0x88)) return;
    }
}

void DEZEZ::sendDoubleByteOwner(const std::u16string& OwnerString) {
    // Cut to 255 characters so that the padding always leaves room for the end mark in
    // the last of the 16 blocks; 256 or more would send text without one.
    std::u16string text = OwnerString.substr(0, kDoubleByteOwnerMax);
    if (text.size() < kDoubleByteOwnerFull) text.resize((text.size() / 32 + 1) * 32, u'\0');
    for (std::size_t block = 0; block < text.size() / 16; ++block) {
        bool ended = false;
        for (std::size_t j = 0; j < 16; ++j) {
            const char16_t c = text[block * 16 + j];
            std::uint8_t low = static_cast<std::uint8_t>(c & 0xFF);
            std::uint8_t high = static_cast<std::uint8_t>(c >> 8);
            if (low == 0 && high == 0) {
                RequestBlock[2 * j + 1] = 0xFF;
                RequestBlock[2 * j + 2] = 0x00;
                ended = true;
                break;
            }
            if (high == 0) high = 0xFF;
            RequestBlock[2 * j + 1] = low;
            RequestBlock[2 * j + 2] = high;
        }
        if (!request(0x88)) return;
        if (ended) return;
    }
}

std::u16string DEZEZ::PwdOwnerString() {
    std::u16string result;
    std::uint8_t work[513] = {};
    bool doubleByte = false;
    Status = 0;
    for (std::size_t block = 0; block < kOwnerBlocks; ++block) {
        prepare(static_cast<std::uint8_t>(block));
        if (!request(0x89)) break;
        bool ended = false;
        for (std::size_t j = 0; j < 32; ++j) {
            const std::uint8_t c = ReplyBlock[j];
            if (c == 0) {
                ended = true;
                break;
            }
            if (c == 0xFF)
                doubleByte = true;
            else
                work[block * 32 + j] = c;
            result.push_back(static_cast<char16_t>(c));
        }
        if (ended) break;
    }
    if (doubleByte) {
        result.assign(256, u'\0');
        for (std::size_t i = 0; i < 256; ++i)
            result[i] = static_cast<char16_t>(work[2 * i] | (work[2 * i + 1] << 8));
    }
    return result;
}

std::int16_t DEZEZ::MachineInfo() {
    prepare(0);
    if (!request(0xCF)) return 0;
    LPTPort = boolean16((ReplyBlock[1] & 0x01) != 0);
    connector1394 = boolean16((ReplyBlock[1] & 0x04) != 0);
    switch (ReplyBlock[2]) {
    case 0: CPUType = 0; break;
    case 1: CPUType = 1; break;
    case 4: CPUType = 4; break;
    default: CPUType = 2; break;
    }
    switch (ReplyBlock[3]) {
    case 0: displayType = 0; break;
    case 1: displayType = 1; break;
    default: displayType = 2; break;
    }
    return ReplyBlock[0];
}

std::int16_t DEZEZ::scuItem(int item) {
    prepare(0);
    request(0x8A);
    return ReplyBlock[item];
}

void DEZEZ::setScuItem(int item, std::int32_t State) {
    const std::uint8_t value = toByte(State);
    prepare(0);
    for (int i = 1; i <= 15; ++i) RequestBlock[i] = 0xFF;
    RequestBlock[item + 1] = value;
    request(0x8B);
}

void DEZEZ::GetBootPriority() {
    prepare(0);
    request(0x92);
    for (std::size_t k = 0; k < 6; ++k) {
        CurrentBoot[k] = ReplyBlock[k];
        PendingBoot[k] = 0xFF;
    }
}

void DEZEZ::SetBootPriority(const std::string& Str) {
    const std::size_t positions = Str.size() == 5 ? 5 : 6;
    if (Str.size() < positions) throw BiosArgumentError("boot priority needs 5 or 6 digits");
    std::uint8_t digits[6];
    for (std::size_t i = 0; i < positions; ++i) digits[i] = digitValue(Str[i], "boot device");
    prepare(0xFF);
    for (std::size_t i = 0; i < positions; ++i) RequestBlock[i + 1] = digits[i];
    request(0x93);
}

std::int16_t DEZEZ::bootDevice(int device) const {
    const std::uint8_t pending = PendingBoot[device - 1];
    return pending != 0xFF ? pending : CurrentBoot[device - 1];
}

void DEZEZ::setBootDevice(int device, std::int32_t State) { PendingBoot[device - 1] = toByte(State); }

void DEZEZ::IODevLSet(const std::string& SetState) {
    if (SetState.size() > 32) throw BiosArgumentError("IODevLSet takes at most 32 devices");
    std::uint8_t values[32];
    for (std::size_t a = 0; a < SetState.size(); ++a) {
        const std::uint8_t v = digitValue(SetState[a], "I/O device state");
        values[a] = v == 3 ? 0xFF : v;
    }
    prepare(0);
    for (std::size_t a = 0; a < SetState.size(); ++a) RequestBlock[a + 1] = values[a];
    request(0x91);
}

std::int16_t DEZEZ::USBChargeSleep() { return readByte0(0x97); }
void DEZEZ::USBChargeSleep(std::int32_t State) { writeByte1(0x98, State); }
std::int16_t DEZEZ::LEDOnOff() { return readByte0(0x99); }
void DEZEZ::LEDOnOff(std::int32_t State) { writeByte1(0x9A, State); }

}  // namespace vantora
