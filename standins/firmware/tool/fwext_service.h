#pragma once
// The firmware-extension driver as a kernel service: installing it, starting and
// stopping it with a deadline, and its saved state.
//
// The state tool asks the running driver for the state through the device, with read
// requests only: the saved state lies in a key that only the system may read. A reset
// and an uninstall remove that key as its owner may, by widening its descriptor first.
#include <windows.h>

#include <string>

#include "common/win32/owners.h"
#include "standins/firmware/bios_core.h"

namespace vantora::fwext {

inline constexpr char kServiceName[] = "KdaFwExt";
inline constexpr char kServiceKey[] = "SYSTEM\\CurrentControlSet\\Services\\KdaFwExt";
// Where the driver keeps the state (readable by the system only), and where earlier
// drivers kept it (read by the driver once, then erased).
inline constexpr char kStateKey[] = "SYSTEM\\CurrentControlSet\\Services\\KdaFwExt\\State";
inline constexpr char kSavedValue[] = "Saved";
inline constexpr char kLegacyStateValue[] = "State";
inline constexpr char kDevicePath[] = "\\\\.\\KdaFwExt";
inline constexpr DWORD kIoControl = 0x9C416400;
inline constexpr DWORD kServiceWaitMs = 15000;

// Where the image is copied and what the service points at: system32\drivers\fwext.sys.
std::string driverTarget();

// The service's SERVICE_* state, or 0 when there is no such service.
DWORD serviceState();

// The functions below return a Win32 error code: ERROR_SUCCESS, the failing call's
// error, or ERROR_TIMEOUT when the service did not reach the state in time.

// Copies the image into place and creates a demand-start kernel service for it, or
// points an existing one at it. A running service is stopped first, so that the new
// image is the one that runs next; the service is left stopped.
DWORD install(const std::string& image, DWORD timeoutMs = kServiceWaitMs);
// Both succeed when the service is in the wanted state already.
DWORD start(DWORD timeoutMs = kServiceWaitMs);
DWORD stop(DWORD timeoutMs = kServiceWaitMs);
// Stops and deletes the service (its saved state goes with its key); waits until the
// name is free again, so that an install right after does not find it marked for deletion.
DWORD uninstall(DWORD timeoutMs = kServiceWaitMs);

// One BIOS request with zero parameters; returns ERROR_SUCCESS with the 32 reply bytes,
// or the error of the open or of the request.
DWORD ask(BYTE function, BYTE reply[BIOS_REPLY_SIZE]);

// What the running driver reports: each password state as reply byte 0 of its read
// (0 none, 1 set, BIOS_LOCKED while the driver runs locked), how it started
// (BIOS_START_*), and the settings.
struct DriverState {
    BYTE started = 0;
    bool locked = false;
    BYTE supervisorPassword = 0;
    BYTE userPassword = 0;
    BYTE scu[BIOS_SCU_ITEMS] = {};
    BYTE boot[BIOS_BOOT_DEVICES] = {};
    BYTE ioDevices[BIOS_IO_DEVICES] = {};
    BYTE usbChargeSleep = 0;
    BYTE led = 0;
    std::string version;
};
DWORD readState(DriverState* state);

// Back to the factory state; a running service is restarted, a stopped one stays stopped.
DWORD resetState(DWORD timeoutMs = kServiceWaitMs);

}  // namespace vantora::fwext
