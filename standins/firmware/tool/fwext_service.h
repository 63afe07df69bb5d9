#pragma once
// The firmware-extension driver as a kernel service: installing it, starting and
// stopping it with a deadline, and its saved state.
//
// The state tool and the tests read the state where the driver keeps it, the "State"
// value of the service key, rather than through the device: the driver answers only the
// BIOS request code, and a reader must not be able to change what it reads. A reset is
// a stop, the value removed and a start, since the running driver holds its state in
// memory and would write it back on the next change.
#include <windows.h>

#include <string>

#include "common/win32/owners.h"
#include "standins/firmware/bios_core.h"

namespace vantora::fwext {

inline constexpr char kServiceName[] = "KdaFwExt";
inline constexpr char kServiceKey[] = "SYSTEM\\CurrentControlSet\\Services\\KdaFwExt";
inline constexpr char kStateValue[] = "State";
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

enum class SavedState { None, Valid, Ignored };

// The state the driver starts from: the saved value when it passes the driver's own
// check, the factory state otherwise (as the driver does).
SavedState readState(BiosCoreState* state);

// Back to the factory state; a running service is restarted, a stopped one stays stopped.
DWORD resetState(DWORD timeoutMs = kServiceWaitMs);

}  // namespace vantora::fwext
