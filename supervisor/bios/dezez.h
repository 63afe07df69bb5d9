#pragma once
// DEZEZ: the suite's one gateway to the notebook firmware. Each property or method is
// one or more BIOS requests (function byte + 32 parameter bytes in, 32 reply bytes out),
// carried by the firmware-extension driver or, on Windows 98, by DEZEZ.dll's IoSmiCmd.
//
// Every member below is the class's contract with the maker's other utilities, which
// share it, including those that BASTIONE itself never calls (the SCU items, the boot
// order, the owner string, the processor and power properties): keep them all.
#include <cstdint>
#include <string>

#include "common/error.h"
#include "common/ports/firmware_device.h"
#include "supervisor/bios/key_code_string.h"

namespace vantora {

inline constexpr std::uint32_t kFwExtIoControl = 0x9C416400u;
inline constexpr const char* kFwExtDevicePath = "\\\\.\\KdaFwExt";

class DEZEZ {
public:
    // smiDll may be null in builds without Windows 98 support; a 4.10 system then has
    // no way to the firmware and every request fails.
    DEZEZ(FirmwareDevicePort& device, OsVersionPort& osVersion, SmiDllPort* smiDll = nullptr);
    ~DEZEZ();
    DEZEZ(const DEZEZ&) = delete;
    DEZEZ& operator=(const DEZEZ&) = delete;

    std::int32_t CPUState = 0;
    std::int32_t ThrottlingState = 0;
    std::int32_t MaxState = 0;
    std::int32_t ACConfig = 0;
    std::int32_t DCConfig = 0;
    std::int32_t PowerSource = 0;
    std::int16_t GV3PPCMethod = 0;
    std::string BIOSDate;
    std::int16_t FnTwiceLock = 0;
    std::int16_t LPTPort = 0;
    std::int16_t CPUType = 0;
    std::int16_t connector1394 = 0;
    std::int16_t displayType = 0;
    std::int32_t Status = 0;

    // PwdStr: the keys of a password. A caller holding its text form (three digits a
    // key) reads it with KeyCodeString(text), which refuses a malformed group before
    // anything is sent.
    std::string BIOSVersion();
    std::int16_t UserPasswordState();
    void UserPassword(const KeyCodeString& PwdStr);
    void ClrUserPwd(const KeyCodeString& PwdStr);
    std::int16_t SPasswordState();
    void SupervisorPwd(const KeyCodeString& PwdStr);
    void ClrSupervisorPwd(const KeyCodeString& PwdStr);
    // Single-byte form: one code unit per byte (units above 0xFF have no single-byte
    // code and go as '?'). Double-byte form: at most 255 characters are kept.
    void PwdOwnerString(const std::u16string& OwnerString);
    std::u16string PwdOwnerString();
    std::int16_t ChkUserPwd(const KeyCodeString& PwdStr);
    std::int16_t ChkSupervisorPwd(const KeyCodeString& PwdStr);
    std::int16_t MachineInfo();

    std::int16_t SCUItem1() { return scuItem(1); }
    void SCUItem1(std::int32_t State) { setScuItem(1, State); }
    std::int16_t SCUItem3() { return scuItem(3); }
    void SCUItem3(std::int32_t State) { setScuItem(3, State); }
    std::int16_t SCUItem4() { return scuItem(4); }
    void SCUItem4(std::int32_t State) { setScuItem(4, State); }
    std::int16_t SCUItem7() { return scuItem(7); }
    void SCUItem7(std::int32_t State) { setScuItem(7, State); }
    std::int16_t SCUItem8() { return scuItem(8); }
    void SCUItem8(std::int32_t State) { setScuItem(8, State); }
    std::int16_t SCUItem9() { return scuItem(9); }
    void SCUItem9(std::int32_t State) { setScuItem(9, State); }
    std::int16_t SCUItem10() { return scuItem(10); }
    void SCUItem10(std::int32_t State) { setScuItem(10, State); }
    std::int16_t SCUItem11() { return scuItem(11); }
    void SCUItem11(std::int32_t State) { setScuItem(11, State); }
    std::int16_t SCUItem12() { return scuItem(12); }
    void SCUItem12(std::int32_t State) { setScuItem(12, State); }
    std::int16_t SCUItem13() { return scuItem(13); }
    void SCUItem13(std::int32_t State) { setScuItem(13, State); }
    std::int16_t SCUItem14() { return scuItem(14); }
    void SCUItem14(std::int32_t State) { setScuItem(14, State); }

    void GetBootPriority();
    void SetBootPriority(const std::string& Str);

    std::int16_t BootDevice1() const { return bootDevice(1); }
    void BootDevice1(std::int32_t State) { setBootDevice(1, State); }
    std::int16_t BootDevice2() const { return bootDevice(2); }
    void BootDevice2(std::int32_t State) { setBootDevice(2, State); }
    std::int16_t BootDevice3() const { return bootDevice(3); }
    void BootDevice3(std::int32_t State) { setBootDevice(3, State); }
    std::int16_t BootDevice4() const { return bootDevice(4); }
    void BootDevice4(std::int32_t State) { setBootDevice(4, State); }
    std::int16_t BootDevice5() const { return bootDevice(5); }
    void BootDevice5(std::int32_t State) { setBootDevice(5, State); }
    std::int16_t BootDevice6() const { return bootDevice(6); }
    void BootDevice6(std::int32_t State) { setBootDevice(6, State); }

    void IODevLSet(const std::string& SetState);
    std::int16_t USBChargeSleep();
    void USBChargeSleep(std::int32_t State);
    std::int16_t LEDOnOff();
    void LEDOnOff(std::int32_t State);

private:
    void BiosCall(std::uint32_t ioControlCode, std::uint8_t function, std::int32_t& result);
    void prepare(std::uint8_t parameterDefault);
    bool request(std::uint8_t function);
    void storePasswordGroups(const KeyCodeString& PwdStr);
    void wipeBlocks();
    std::int16_t readByte0(std::uint8_t function);
    void writeByte1(std::uint8_t function, std::int32_t State);
    std::int16_t scuItem(int item);
    void setScuItem(int item, std::int32_t State);
    std::int16_t bootDevice(int device) const;
    void setBootDevice(int device, std::int32_t State);
    void sendSingleByteOwner(const std::u16string& OwnerString);
    void sendDoubleByteOwner(const std::u16string& OwnerString);

    FirmwareDevicePort& device_;
    SmiDllPort* smiDll_;
    std::uint8_t RequestBlock[33] = {};
    std::uint8_t ReplyBlock[32] = {};
    bool UseSmiDll = false;
    std::uint8_t CurrentBoot[6] = {};
    std::uint8_t PendingBoot[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
};

}  // namespace vantora
