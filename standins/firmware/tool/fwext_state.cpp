// fwext-state: shows the simulated notebook's BIOS state as the firmware-extension
// driver will start from it, or puts it back to the factory state.
//
//   fwext-state          print the state
//   fwext-state reset    factory state (restarts a running driver), then print it
//
// Passwords are shown as "set" or "none" only: the state holds no keys, and the output
// lands in logs. Exit code 0 on
// success, 1 for a wrong command line, 2 when the reset failed.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/win32/guarded.h"
#include "standins/firmware/tool/fwext_service.h"

namespace {

void printPassword(const char* name, const BiosPassword& password) {
    std::printf("%s password: %s\n", name, password.set ? "set" : "none");
}

void printBytes(const char* name, const uint8_t* bytes, int count) {
    std::printf("%s:", name);
    for (int i = 0; i < count; ++i) std::printf(" %u", bytes[i]);
    std::printf("\n");
}

const char* savedName(vantora::fwext::SavedState saved) {
    switch (saved) {
    case vantora::fwext::SavedState::Valid: return "yes";
    case vantora::fwext::SavedState::Ignored: return "ignored";
    default: return "none";
    }
}

void print() {
    BiosCoreState state;
    const vantora::fwext::SavedState saved = vantora::fwext::readState(&state);
    std::printf("saved state: %s\n", savedName(saved));
    printPassword("supervisor", state.supervisor_pwd);
    printPassword("user", state.user_pwd);
    printBytes("scu items", state.scu, BIOS_SCU_ITEMS);
    printBytes("boot order", state.boot, BIOS_BOOT_DEVICES);
    printBytes("io devices", state.io_dev, BIOS_IO_DEVICES);
    std::printf("usb charge sleep: %u\n", state.usb_charge_sleep);
    std::printf("led: %u\n", state.led_on_off);
    std::printf("version: %.*s\n", static_cast<int>(strnlen(reinterpret_cast<const char*>(state.version), BIOS_VERSION_SIZE)),
                reinterpret_cast<const char*>(state.version));
    SecureZeroMemory(&state, sizeof(state));
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
    print();
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    return vantora::win32::guarded(3, [=] { return run(argc, argv); });
}
