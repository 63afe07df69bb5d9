#include "standins/firmware/tool/fwext_service.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "standins/firmware/bios_core.h"
#include "standins/firmware/driver/device_security.h"

namespace vantora::fwext {

namespace {

using win32::UniqueService;

UniqueService openManager() { return UniqueService(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)); }

UniqueService openService(DWORD* error) {
    UniqueService manager = openManager();
    if (!manager) {
        *error = ::GetLastError();
        return {};
    }
    UniqueService service(::OpenServiceA(manager.get(), kServiceName, SERVICE_ALL_ACCESS));
    *error = service ? ERROR_SUCCESS : ::GetLastError();
    return service;
}

// GetTickCount, not its 64-bit form, so that the tool also runs where that is missing;
// the unsigned difference stays right across the wrap.
DWORD waitForState(SC_HANDLE service, DWORD wanted, DWORD timeoutMs) {
    const DWORD begin = ::GetTickCount();
    for (;;) {
        SERVICE_STATUS status{};
        if (!::QueryServiceStatus(service, &status)) return ::GetLastError();
        if (status.dwCurrentState == wanted) return ERROR_SUCCESS;
        if (::GetTickCount() - begin >= timeoutMs) return ERROR_TIMEOUT;
        ::Sleep(50);
    }
}

}  // namespace

std::string driverTarget() {
    char dir[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(dir, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(dir, length) + "\\drivers\\fwext.sys";
}

DWORD serviceState() {
    DWORD error = 0;
    UniqueService service = openService(&error);
    SERVICE_STATUS status{};
    if (!service || !::QueryServiceStatus(service.get(), &status)) return 0;
    return status.dwCurrentState;
}

namespace {

// A new service for the image at target, or an existing one pointed at it.
DWORD createService(const std::string& target) {
    UniqueService manager = openManager();
    if (!manager) return ::GetLastError();
    UniqueService service(::CreateServiceA(manager.get(), kServiceName, kServiceName, SERVICE_ALL_ACCESS,
                                      SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                      target.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (service) return ERROR_SUCCESS;
    const DWORD error = ::GetLastError();
    if (error != ERROR_SERVICE_EXISTS) return error;
    service = UniqueService(::OpenServiceA(manager.get(), kServiceName, SERVICE_ALL_ACCESS));
    if (!service) return ::GetLastError();
    if (!::ChangeServiceConfigA(service.get(), SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                target.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr))
        return ::GetLastError();
    return ERROR_SUCCESS;
}

// The state's key lets only the system in; its owner, the administrators, may still
// rewrite that, which is how a reset gets rid of it. A missing key is already gone.
DWORD removeStateKey() {
    HKEY opened = nullptr;
    LONG rc = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kStateKey, 0, WRITE_DAC, &opened);
    if (rc == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
    const win32::UniqueKey key(opened);
    BYTE wide[FWEXT_KEY_SECURITY_WITH_ADMINS_SIZE];
    fwext_key_security(wide, sizeof wide, 1);
    rc = ::RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, wide);
    if (rc == ERROR_SUCCESS) rc = ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kStateKey);
    return static_cast<DWORD>(rc);
}

}  // namespace

DWORD install(const std::string& image, DWORD timeoutMs) {
    if (serviceState() != 0) {
        if (const DWORD error = stop(timeoutMs)) return error;
    }
    const std::string target = driverTarget();
    if (target.empty()) return ERROR_PATH_NOT_FOUND;
    if (!::CopyFileA(image.c_str(), target.c_str(), FALSE)) return ::GetLastError();
    return createService(target);
}

DWORD start(DWORD timeoutMs) {
    DWORD error = 0;
    UniqueService service = openService(&error);
    if (!service) return error;
    if (!::StartServiceA(service.get(), 0, nullptr) && ::GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
        return ::GetLastError();
    return waitForState(service.get(), SERVICE_RUNNING, timeoutMs);
}

DWORD stop(DWORD timeoutMs) {
    DWORD error = 0;
    UniqueService service = openService(&error);
    if (!service) return error;
    SERVICE_STATUS status{};
    if (!::ControlService(service.get(), SERVICE_CONTROL_STOP, &status) && ::GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
        return ::GetLastError();
    return waitForState(service.get(), SERVICE_STOPPED, timeoutMs);
}

DWORD uninstall(DWORD timeoutMs) {
    DWORD error = 0;
    {
        UniqueService service = openService(&error);
        if (!service) return error == ERROR_SERVICE_DOES_NOT_EXIST ? ERROR_SUCCESS : error;
        if ((error = stop(timeoutMs)) != ERROR_SUCCESS) return error;
        if ((error = removeStateKey()) != ERROR_SUCCESS) return error;
        if (!::DeleteService(service.get()) && ::GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE)
            return ::GetLastError();
    }
    const DWORD begin = ::GetTickCount();
    while (serviceState() != 0) {
        if (::GetTickCount() - begin >= timeoutMs) return ERROR_TIMEOUT;
        ::Sleep(50);
    }
    return ERROR_SUCCESS;
}

DWORD ask(BYTE function, BYTE reply[BIOS_REPLY_SIZE]) {
    const win32::UniqueFile device(::CreateFileA(kDevicePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
    if (!device) return ::GetLastError();
    BYTE request[BIOS_REQUEST_SIZE] = {function};
    DWORD returned = 0;
    if (!::DeviceIoControl(device.get(), kIoControl, request, sizeof request, reply, BIOS_REPLY_SIZE, &returned, nullptr))
        return ::GetLastError();
    return returned == BIOS_REPLY_SIZE ? ERROR_SUCCESS : ERROR_INVALID_DATA;
}

DWORD readState(DriverState* state) {
    *state = DriverState{};
    BYTE reply[BIOS_REPLY_SIZE];
    const auto byte0 = [&](BYTE function, BYTE* into) {
        const DWORD error = ask(function, reply);
        *into = reply[0];
        return error;
    };
    DWORD error = ask(BIOS_FN_STANDIN_STATUS, reply);
    if (error) return error;
    state->started = reply[0];
    state->locked = reply[1] != 0;
    std::copy(reply + 2, reply + 2 + BIOS_IO_DEVICES, state->ioDevices);
    if ((error = byte0(0x85, &state->supervisorPassword)) || (error = byte0(0x82, &state->userPassword)) ||
        (error = byte0(0x97, &state->usbChargeSleep)) || (error = byte0(0x99, &state->led)))
        return error;
    if ((error = ask(0x8A, reply))) return error;
    std::copy(reply, reply + BIOS_SCU_ITEMS, state->scu);
    if ((error = ask(0x92, reply))) return error;
    std::copy(reply, reply + BIOS_BOOT_DEVICES, state->boot);
    if ((error = ask(0x80, reply))) return error;
    state->version.assign(reinterpret_cast<const char*>(reply), strnlen(reinterpret_cast<const char*>(reply), sizeof reply));
    return ERROR_SUCCESS;
}

// The running driver holds its state in memory and would write it back on the next
// change: it is stopped first, and started again if it ran.
DWORD resetState(DWORD timeoutMs) {
    const DWORD state = serviceState();
    if (state == 0) return ERROR_SERVICE_DOES_NOT_EXIST;
    if (const DWORD error = stop(timeoutMs)) return error;
    if (const DWORD error = removeStateKey()) return error;
    return state == SERVICE_RUNNING ? start(timeoutMs) : ERROR_SUCCESS;
}

}  // namespace vantora::fwext
