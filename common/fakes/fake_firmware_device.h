#pragma once
// Fakes of the firmware ports. They record every call, can fail any single one, and
// either answer from a table of replies per function or from the simulated BIOS core,
// so that DEZEZ is tested against the firmware's real behaviour.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/ports/firmware_device.h"
#include "standins/firmware/bios_core.h"

namespace vantora {

using FirmwareRequest = std::array<std::uint8_t, 33>;
using FirmwareReply = std::array<std::uint8_t, 32>;

class FakeFirmwareDevice : public FirmwareDevicePort {
public:
    struct Open {
        std::string path;
        std::uint32_t desiredAccess;
        std::uint32_t shareMode;
        std::uint32_t creationDisposition;
        std::uint32_t flags;
        DeviceHandle handle;
    };
    struct Request {
        DeviceHandle handle;
        std::uint32_t ioControlCode;
        std::uint32_t inSize;
        std::uint32_t outSize;
        FirmwareRequest bytes;
    };

    // Without a core, replies come from setReply (all zero for other functions).
    // With a core, the fake is one machine powered on at construction: its session (the
    // wrong-check run, the owner-block cursor) lasts as long as the fake.
    explicit FakeFirmwareDevice(BiosCoreState* core = nullptr) : core_(core) { bios_core_session_init(&session_); }

    void setReply(std::uint8_t function, const FirmwareReply& reply) { replies_[function] = reply; }
    void setDeviceMissing(bool missing) { missing_ = missing; }
    // A driver that succeeds with fewer reply bytes: only these are written and reported.
    void setReplyBytes(std::uint32_t bytes) { replyBytes_ = bytes; }
    // Fail the n-th (0-based) call of that kind; -1 fails none.
    void failOpenAt(int n) { failOpenAt_ = n; }
    void failRequestAt(int n) { failRequestAt_ = n; }
    void failCloseAt(int n) { failCloseAt_ = n; }

    const std::vector<Open>& opens() const { return opens_; }
    const std::vector<Request>& requests() const { return requests_; }
    const std::vector<DeviceHandle>& closes() const { return closes_; }
    int openHandles() const { return static_cast<int>(open_.size()); }

    DeviceHandle CreateFileA(const char* fileName, std::uint32_t desiredAccess, std::uint32_t shareMode,
                             std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes) override;
    std::int32_t DeviceIoControl(DeviceHandle device, std::uint32_t ioControlCode, const void* inBuffer,
                                 std::uint32_t inBufferSize, void* outBuffer, std::uint32_t outBufferSize,
                                 std::uint32_t* bytesReturned) override;
    std::int32_t CloseHandle(DeviceHandle handle) override;

private:
    BiosCoreState* core_;
    BiosCoreSession session_;
    std::map<std::uint8_t, FirmwareReply> replies_;
    bool missing_ = false;
    std::uint32_t replyBytes_ = 32;
    int failOpenAt_ = -1;
    int failRequestAt_ = -1;
    int failCloseAt_ = -1;
    int closeCalls_ = 0;
    DeviceHandle nextHandle_ = 0x100;
    std::vector<DeviceHandle> open_;
    std::vector<Open> opens_;
    std::vector<Request> requests_;
    std::vector<DeviceHandle> closes_;
};

class FakeSmiDll : public SmiDllPort {
public:
    explicit FakeSmiDll(BiosCoreState* core = nullptr) : core_(core) { bios_core_session_init(&session_); }

    void setBindFails(bool fails) { bindFails_ = fails; }
    void failCallAt(int n) { failCallAt_ = n; }
    void setReply(const FirmwareReply& reply) { reply_ = reply; }

    int binds() const { return binds_; }
    int releases() const { return releases_; }
    const std::vector<FirmwareRequest>& requests() const { return requests_; }

    bool bind() override;
    std::int32_t IoSmiCmd(std::uint8_t* request33, std::uint8_t* reply32) override;
    void release() override { ++releases_; }

private:
    BiosCoreState* core_;
    BiosCoreSession session_;
    bool bindFails_ = false;
    int failCallAt_ = -1;
    int binds_ = 0;
    int releases_ = 0;
    FirmwareReply reply_{};
    std::vector<FirmwareRequest> requests_;
};

class FakeOsVersion : public OsVersionPort {
public:
    FakeOsVersion(std::uint32_t major, std::uint32_t minor) : major_(major), minor_(minor) {}

    void setFails(bool fails) { fails_ = fails; }
    std::uint32_t askedSize() const { return askedSize_; }

    std::int32_t GetVersionExA(OsVersionInfo* info) override;

private:
    std::uint32_t major_;
    std::uint32_t minor_;
    bool fails_ = false;
    std::uint32_t askedSize_ = 0;
};

}  // namespace vantora
