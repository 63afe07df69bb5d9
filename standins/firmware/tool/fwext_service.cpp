#include "standins/firmware/tool/fwext_service.h"

#include <vector>

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

DWORD install(const std::string& image, DWORD timeoutMs) {
    if (serviceState() != 0) {
        if (const DWORD error = stop(timeoutMs)) return error;
    }
    const std::string target = driverTarget();
    if (target.empty()) return ERROR_PATH_NOT_FOUND;
    if (!::CopyFileA(image.c_str(), target.c_str(), FALSE)) return ::GetLastError();

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

SavedState readState(BiosCoreState* state) {
    bios_core_init(state);
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServiceKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return SavedState::None;
    const win32::UniqueKey key(opened);
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = ::RegQueryValueExA(key.get(), kStateValue, nullptr, &type, nullptr, &size);
    SavedState result = SavedState::None;
    if (rc == ERROR_SUCCESS) {
        std::vector<BYTE> bytes(size);
        rc = ::RegQueryValueExA(key.get(), kStateValue, nullptr, &type, bytes.data(), &size);
        const bool valid = rc == ERROR_SUCCESS && type == REG_BINARY && bios_core_load(state, bytes.data(), size) != 0;
        result = valid ? SavedState::Valid : SavedState::Ignored;
        ::SecureZeroMemory(bytes.data(), bytes.size());
    }
    return result;
}

DWORD resetState(DWORD timeoutMs) {
    const bool running = serviceState() == SERVICE_RUNNING;
    if (running) {
        if (const DWORD error = stop(timeoutMs)) return error;
    }
    HKEY opened = nullptr;
    LONG rc = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServiceKey, 0, KEY_SET_VALUE, &opened);
    if (rc == ERROR_SUCCESS) rc = ::RegDeleteValueA(win32::UniqueKey(opened).get(), kStateValue);
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return static_cast<DWORD>(rc);
    return running ? start(timeoutMs) : ERROR_SUCCESS;
}

}  // namespace vantora::fwext
