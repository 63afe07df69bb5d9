#include "common/fakes/fake_firmware_device.h"

#include <algorithm>
#include <cstring>

namespace vantora {

DeviceHandle FakeFirmwareDevice::CreateFileA(const char* fileName, std::uint32_t desiredAccess,
                                             std::uint32_t shareMode, std::uint32_t creationDisposition,
                                             std::uint32_t flagsAndAttributes) {
    const int index = static_cast<int>(opens_.size());
    DeviceHandle handle = kInvalidHandleValue;
    if (!missing_ && index != failOpenAt_ && fileName != nullptr && std::strcmp(fileName, "\\\\.\\KdaFwExt") == 0) {
        handle = nextHandle_++;
        open_.push_back(handle);
    }
    opens_.push_back({fileName ? fileName : "", desiredAccess, shareMode, creationDisposition, flagsAndAttributes,
                      handle});
    return handle;
}

std::int32_t FakeFirmwareDevice::DeviceIoControl(DeviceHandle device, std::uint32_t ioControlCode,
                                                 const void* inBuffer, std::uint32_t inBufferSize, void* outBuffer,
                                                 std::uint32_t outBufferSize, std::uint32_t* bytesReturned) {
    const int index = static_cast<int>(requests_.size());
    Request recorded{device, ioControlCode, inBufferSize, outBufferSize, {}};
    recorded.bytes.fill(0xCD);
    if (inBuffer != nullptr)
        std::memcpy(recorded.bytes.data(), inBuffer, std::min<std::uint32_t>(inBufferSize, 33));
    requests_.push_back(recorded);

    // The driver's rules: an open handle, its one code, exactly 33 in and room for 32 out.
    const bool isOpen = std::find(open_.begin(), open_.end(), device) != open_.end();
    if (!isOpen || ioControlCode != 0x9C416400u || inBuffer == nullptr || inBufferSize != 33 ||
        outBuffer == nullptr || outBufferSize < 32 || index == failRequestAt_)
        return 0;

    std::uint8_t reply[32] = {};
    if (core_ != nullptr) {
        if (bios_core_handle(core_, &session_, recorded.bytes.data(), reply) != 0) return 0;
    } else if (auto it = replies_.find(recorded.bytes[0]); it != replies_.end()) {
        std::memcpy(reply, it->second.data(), sizeof(reply));
    }
    const std::uint32_t written = std::min<std::uint32_t>(replyBytes_, sizeof(reply));
    std::memcpy(outBuffer, reply, written);
    if (bytesReturned != nullptr) *bytesReturned = written;
    return 1;
}

std::int32_t FakeFirmwareDevice::CloseHandle(DeviceHandle handle) {
    closes_.push_back(handle);
    const int index = closeCalls_++;
    auto it = std::find(open_.begin(), open_.end(), handle);
    if (it == open_.end()) return 0;
    open_.erase(it);
    return index == failCloseAt_ ? 0 : 1;
}

bool FakeSmiDll::bind() {
    ++binds_;
    return !bindFails_;
}

std::int32_t FakeSmiDll::IoSmiCmd(std::uint8_t* request33, std::uint8_t* reply32) {
    const int index = static_cast<int>(requests_.size());
    FirmwareRequest recorded;
    std::memcpy(recorded.data(), request33, recorded.size());
    requests_.push_back(recorded);
    if (index == failCallAt_) return 0;
    if (core_ != nullptr) return bios_core_handle(core_, &session_, request33, reply32) == 0 ? 1 : 0;
    std::memcpy(reply32, reply_.data(), reply_.size());
    return 1;
}

std::int32_t FakeOsVersion::GetVersionExA(OsVersionInfo* info) {
    askedSize_ = info->osVersionInfoSize;
    if (fails_ || info->osVersionInfoSize != sizeof(OsVersionInfo)) return 0;
    info->majorVersion = major_;
    info->minorVersion = minor_;
    info->platformId = major_ == 4 ? 1 : 2;
    return 1;
}

}  // namespace vantora
