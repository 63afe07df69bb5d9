#pragma once
// The firmware as BASTIONE reaches it: the firmware-extension driver through the
// kernel32 file and I/O-control calls, and the DEZEZ.dll entry point used on Windows 98,
// the same firmware's other road. Handles are 32-bit, as on 32-bit Windows; results are
// Win32 BOOLs (nonzero = success).
#include <cstdint>

#include "common/ports/os_version.h"  // which of the two roads is taken

namespace vantora {

using DeviceHandle = std::uint32_t;

inline constexpr DeviceHandle kInvalidHandleValue = 0xFFFFFFFFu;

inline constexpr std::uint32_t kGenericRead = 0x80000000u;
inline constexpr std::uint32_t kGenericWrite = 0x40000000u;
inline constexpr std::uint32_t kFileShareRead = 0x00000001u;
inline constexpr std::uint32_t kFileShareWrite = 0x00000002u;
inline constexpr std::uint32_t kOpenExisting = 3;

// Each member behaves like the Win32 call of the same name: no security attributes,
// no template file, no overlapped structure (BASTIONE never uses them).
class FirmwareDevicePort {
public:
    virtual ~FirmwareDevicePort() = default;

    virtual DeviceHandle CreateFileA(const char* fileName, std::uint32_t desiredAccess, std::uint32_t shareMode,
                                     std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes) = 0;
    virtual std::int32_t DeviceIoControl(DeviceHandle device, std::uint32_t ioControlCode, const void* inBuffer,
                                         std::uint32_t inBufferSize, void* outBuffer, std::uint32_t outBufferSize,
                                         std::uint32_t* bytesReturned) = 0;
    virtual std::int32_t CloseHandle(DeviceHandle handle) = 0;
};

// DEZEZ.dll's IoSmiCmd, bound by name at run time. bind() loads the library and looks
// up the entry point; it fails when either is missing. IoSmiCmd returns 0 on failure.
class SmiDllPort {
public:
    virtual ~SmiDllPort() = default;

    virtual bool bind() = 0;
    virtual std::int32_t IoSmiCmd(std::uint8_t* request33, std::uint8_t* reply32) = 0;
    virtual void release() = 0;
};

}  // namespace vantora
