// fwext-state: shows the simulated notebook's BIOS state as the running firmware-extension
// driver reports it, or puts it back to the factory state.
//
//   fwext-state          print the state
//   fwext-state reset    factory state (restarts a running driver), then print it
//
// Passwords are shown as "set", "none" or "locked" only: the driver gives away no more,
// and the output lands in logs. A stopped driver cannot be asked: the tool says so. Exit
// code 0 on success, 1 for a wrong command line, 2 when the reset or the reading failed.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/win32/guarded.h"
#include "standins/firmware/tool/fwext_service.h"

namespace {

const char* passwordName(BYTE state) {
    switch (state) {
    case 0: return "none";
    case BIOS_LOCKED: return "locked";
    default: return "set";
    }
}

void printBytes(const char* name, const BYTE* bytes, int count) {
    std::printf("%s:", name);
    for (int i = 0; i < count; ++i) std::printf(" %u", bytes[i]);
    std::printf("\n");
}

const char* startName(BYTE started) {
    switch (started) {
    case BIOS_START_SAVED: return "yes";
    case BIOS_START_REFUSED: return "refused";
    default: return "none";
    }
}

int print() {
    if (vantora::fwext::serviceState() != SERVICE_RUNNING) {
        std::printf("driver: stopped\n");
        return 0;
    }
    vantora::fwext::DriverState state;
    if (const DWORD error = vantora::fwext::readState(&state)) {
        std::fprintf(stderr, "fwext-state: the driver does not answer, error %lu\n", static_cast<unsigned long>(error));
        return 2;
    }
    std::printf("saved state: %s\n", startName(state.started));
    std::printf("locked: %s\n", state.locked ? "yes, until fwext-state reset" : "no");
    std::printf("supervisor password: %s\n", passwordName(state.supervisorPassword));
    std::printf("user password: %s\n", passwordName(state.userPassword));
    printBytes("scu items", state.scu, BIOS_SCU_ITEMS);
    printBytes("boot order", state.boot, BIOS_BOOT_DEVICES);
    printBytes("io devices", state.ioDevices, BIOS_IO_DEVICES);
    std::printf("usb charge sleep: %u\n", state.usbChargeSleep);
    std::printf("led: %u\n", state.led);
    std::printf("version: %s\n", state.version.c_str());
    return 0;
}

}  // namespace

namespace {
int run(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && std::strcmp(argv[1], "reset") != 0)) {
        std::fprintf(stderr, "usage: fwext-state [reset]\n");
        return 1;
    }
    if (argc == 2) {
        if (const DWORD error = vantora::fwext::resetState()) {
            std::fprintf(stderr, "fwext-state: reset failed, error %lu\n", static_cast<unsigned long>(error));
            return 2;
        }
    }
    return print();
}
}  // namespace

int main(int argc, char** argv) {
    return vantora::win32::guarded(3, [=] { return run(argc, argv); });
}
