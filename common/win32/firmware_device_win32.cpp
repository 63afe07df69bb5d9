#include "common/win32/firmware_device_win32.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "common/win32/program_folder.h"

namespace vantora::win32 {

static_assert(sizeof(HANDLE) >= sizeof(DeviceHandle));
static_assert(sizeof(DWORD) == sizeof(std::uint32_t));

namespace {

// As with registry keys, a 64-bit build relies on kernel handles fitting in 32 bits;
// sign extension turns 0xFFFFFFFF back into INVALID_HANDLE_VALUE there.
HANDLE toHandle(DeviceHandle h) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(static_cast<std::int32_t>(h)));
}
DeviceHandle fromHandle(HANDLE h) { return static_cast<DeviceHandle>(reinterpret_cast<std::uintptr_t>(h)); }

}  // namespace

DeviceHandle Win32FirmwareDevice::CreateFileA(const char* fileName, std::uint32_t desiredAccess,
                                              std::uint32_t shareMode, std::uint32_t creationDisposition,
                                              std::uint32_t flagsAndAttributes) {
    return fromHandle(
        ::CreateFileA(fileName, desiredAccess, shareMode, nullptr, creationDisposition, flagsAndAttributes, nullptr));
}

std::int32_t Win32FirmwareDevice::DeviceIoControl(DeviceHandle device, std::uint32_t ioControlCode,
                                                  const void* inBuffer, std::uint32_t inBufferSize, void* outBuffer,
                                                  std::uint32_t outBufferSize, std::uint32_t* bytesReturned) {
    DWORD returned = 0;
    const BOOL ok = ::DeviceIoControl(toHandle(device), ioControlCode, const_cast<void*>(inBuffer), inBufferSize,
                                      outBuffer, outBufferSize, &returned, nullptr);
    if (bytesReturned) *bytesReturned = returned;
    return ok;
}

std::int32_t Win32FirmwareDevice::CloseHandle(DeviceHandle handle) { return ::CloseHandle(toHandle(handle)); }

bool Win32SmiDll::bind() {
    release();
    const std::string folder = win32::programFolder();
    if (folder.empty()) return false;
    // A full path, so no search happens; the altered search path makes the library's
    // own imports come from its folder as well. Windows 98 knows no newer flags.
    library_.reset(::LoadLibraryExA((folder + "\\DEZEZ.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!library_) return false;
    ioSmiCmd_ =
        reinterpret_cast<IoSmiCmdProc>(reinterpret_cast<void*>(::GetProcAddress(library_.get(), "IoSmiCmd")));
    if (ioSmiCmd_ == nullptr) {
        release();
        return false;
    }
    return true;
}

std::int32_t Win32SmiDll::IoSmiCmd(std::uint8_t* request33, std::uint8_t* reply32) {
    return ioSmiCmd_ ? ioSmiCmd_(request33, reply32) : 0;
}

void Win32SmiDll::release() {
    ioSmiCmd_ = nullptr;
    library_.reset();
}

}  // namespace vantora::win32
