#pragma once
// The firmware ports over kernel32. Pass-through only: DEZEZ's native tests cover the
// logic, and the end-to-end tests hold these calls to the real driver.
#include <windows.h>

#include "common/ports/firmware_device.h"
#include "common/win32/owners.h"

namespace vantora::win32 {

class Win32FirmwareDevice : public FirmwareDevicePort {
public:
    DeviceHandle CreateFileA(const char* fileName, std::uint32_t desiredAccess, std::uint32_t shareMode,
                             std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes) override;
    std::int32_t DeviceIoControl(DeviceHandle device, std::uint32_t ioControlCode, const void* inBuffer,
                                 std::uint32_t inBufferSize, void* outBuffer, std::uint32_t outBufferSize,
                                 std::uint32_t* bytesReturned) override;
    std::int32_t CloseHandle(DeviceHandle handle) override;
};

// DEZEZ.dll is taken from the program's own folder and nowhere else: a copy planted in
// the current directory or on PATH would be handed the password keys.
class Win32SmiDll : public SmiDllPort {
public:
    bool bind() override;
    std::int32_t IoSmiCmd(std::uint8_t* request33, std::uint8_t* reply32) override;
    void release() override;

private:
    using IoSmiCmdProc = BOOL(WINAPI*)(BYTE* request, BYTE* reply);
    UniqueModule library_;
    IoSmiCmdProc ioSmiCmd_ = nullptr;
};

}  // namespace vantora::win32
