/*
 * Firmware-extension driver: \Device\KdaFwExt, reachable as \\.\KdaFwExt, answering
 * I/O control 0x9C416400 (33-byte request in, 32-byte reply out) from the simulated
 * BIOS. Built as one translation unit so that the plain mingw kernel command line
 * (no project include path) is enough; the core is the same file the native tests run.
 */
#include <ntifs.h>

#include "../bios_core.c"
#include "../sha256.c"
#include "device_security.c"

#define FWEXT_DEVICE_TYPE 0x9C41
#define FWEXT_IOCTL 0x9C416400UL

#if BIOS_KDF_ITERATIONS < BIOS_KDF_MIN_ITERATIONS
#error "the driver hashes passwords with the full iteration count"
#endif

static BiosCoreState g_state;
static BiosCoreState g_before; /* the state before the request, for a failed save */
static BiosCoreSession g_session;
static ULONG g_salt_count;
/* Two programs may send requests at the same time; the core is not reentrant. A mutex,
 * not a spin lock, because the state is written to the registry while it is held. */
static KMUTEX g_lock;
/* A request that cannot have the core within this time fails rather than hang its
 * caller: a check takes a tenth of a second, so only a stuck holder gets near it. */
#define LOCK_WAIT_100NS (-5LL * 10 * 1000 * 1000)

/* The state survives a restart of the driver, like CMOS survives a reboot. It lives in
 * a subkey of the service's own key, the one place that is the driver's alone and that
 * goes when the service is deleted, under a descriptor that lets only the system in:
 * the service key itself is readable by every user. The value is the core's saved form,
 * whose magic and exact size tell a foreign value from ours. Earlier drivers kept it in
 * the service key's own "State" value. */
static HANDLE g_service_key;
static HANDLE g_state_key;
static const WCHAR kStateKey[] = L"State";
static const WCHAR kSavedValue[] = L"Saved";
static const WCHAR kLegacyValue[] = L"State";
#define STATE_INFO_SIZE (FIELD_OFFSET(KEY_VALUE_PARTIAL_INFORMATION, Data) + sizeof(BiosCoreState))
/* One byte more than a state, so that a longer value is seen as longer, not cut. */
static ULONG g_io[(STATE_INFO_SIZE + 1 + sizeof(ULONG) - 1) / sizeof(ULONG)];
#define STATE_KEY_ACCESS (KEY_QUERY_VALUE | KEY_SET_VALUE | WRITE_DAC)

static const WCHAR kDeviceName[] = L"\\Device\\KdaFwExt";
static const WCHAR kLinkName[] = L"\\DosDevices\\KdaFwExt";

static void wipe(volatile UCHAR* p, ULONG n) {
    ULONG i;
    for (i = 0; i < n; ++i) p[i] = 0;
}

static NTSTATUS set_key_security(HANDLE key, int admins_too) {
    ULONG sd[(FWEXT_KEY_SECURITY_WITH_ADMINS_SIZE + sizeof(ULONG) - 1) / sizeof(ULONG)];
    fwext_key_security((uint8_t*)sd, sizeof(sd), admins_too);
    return ZwSetSecurityObject(key, DACL_SECURITY_INFORMATION, (PSECURITY_DESCRIPTOR)sd);
}

static NTSTATUS create_state_key(HANDLE* key) {
    UNICODE_STRING name;
    OBJECT_ATTRIBUTES attributes;
    RtlInitUnicodeString(&name, kStateKey);
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, g_service_key, NULL);
    return ZwCreateKey(key, STATE_KEY_ACCESS, &attributes, 0, NULL, REG_OPTION_NON_VOLATILE, NULL);
}

/* Windows does not check a kernel handle's access; Wine runs the driver with the user's
 * token and checks it against the system-only descriptor the last run left. The owner
 * may still rewrite the descriptor: let the administrators in for as long as one open
 * takes. Either way the key ends up with the system-only descriptor, also when it was
 * made by someone else. */
static void open_state_key(void) {
    NTSTATUS status;
    g_state_key = NULL;
    if (g_service_key == NULL) return;
    status = create_state_key(&g_state_key);
    if (status == STATUS_ACCESS_DENIED) {
        UNICODE_STRING name;
        OBJECT_ATTRIBUTES attributes;
        HANDLE owner_handle;
        RtlInitUnicodeString(&name, kStateKey);
        InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, g_service_key, NULL);
        if (NT_SUCCESS(ZwOpenKey(&owner_handle, WRITE_DAC, &attributes))) {
            if (NT_SUCCESS(set_key_security(owner_handle, 1))) status = create_state_key(&g_state_key);
            if (!NT_SUCCESS(status)) set_key_security(owner_handle, 0);
            ZwClose(owner_handle);
        }
    }
    if (!NT_SUCCESS(status)) {
        g_state_key = NULL;
        return;
    }
    if (!NT_SUCCESS(set_key_security(g_state_key, 0))) {
        ZwClose(g_state_key);
        g_state_key = NULL;
    }
}

static void open_keys(PUNICODE_STRING registryPath) {
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, registryPath, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwOpenKey(&g_service_key, KEY_QUERY_VALUE | KEY_SET_VALUE, &attributes))) g_service_key = NULL;
    open_state_key();
}

static void close_keys(void) {
    if (g_state_key != NULL) ZwClose(g_state_key);
    if (g_service_key != NULL) ZwClose(g_service_key);
    g_state_key = NULL;
    g_service_key = NULL;
}

enum { kValueMissing, kValueRead, kValueUnreadable };

/* Reads a value into g_io. Anything but a binary value that fits counts as unreadable:
 * it is there, so it cannot be taken for "nothing saved". */
static int read_value(HANDLE key, const WCHAR* value_name, KEY_VALUE_PARTIAL_INFORMATION** info) {
    UNICODE_STRING name;
    ULONG size = 0;
    NTSTATUS status;
    *info = (KEY_VALUE_PARTIAL_INFORMATION*)g_io;
    RtlInitUnicodeString(&name, value_name);
    status = ZwQueryValueKey(key, &name, KeyValuePartialInformation, *info, sizeof(g_io), &size);
    if (status == STATUS_OBJECT_NAME_NOT_FOUND) return kValueMissing;
    return NT_SUCCESS(status) && (*info)->Type == REG_BINARY ? kValueRead : kValueUnreadable;
}

static int save_state(void* context, const BiosCoreState* state);

/* The saved state, or the factory state, or, when the saved bytes cannot be trusted
 * (unreadable, damaged, an earlier layout, or a value left at the earlier place), the
 * factory state locked, saved over them at once. A state that cannot be read at all
 * because the key did not open is not trusted either. */
static void load_state(void) {
    static const uint8_t kRefused = 0;
    KEY_VALUE_PARTIAL_INFORMATION* info;
    UNICODE_STRING legacy_name;
    int saved = kValueUnreadable;
    int legacy = kValueMissing;
    RtlInitUnicodeString(&legacy_name, kLegacyValue);
    if (g_service_key != NULL) legacy = read_value(g_service_key, kLegacyValue, &info);
    wipe((UCHAR*)g_io, sizeof(g_io));
    if (g_state_key != NULL) saved = read_value(g_state_key, kSavedValue, &info);
    if (saved == kValueRead)
        bios_core_start(&g_state, &g_session, info->Data, info->DataLength);
    else if (saved == kValueMissing && legacy == kValueMissing)
        bios_core_start(&g_state, &g_session, NULL, 0);
    else
        bios_core_start(&g_state, &g_session, &kRefused, 0);
    wipe((UCHAR*)g_io, sizeof(g_io));
    /* The earlier value goes only once the lock stands in its place: were it erased with
     * nothing saved, the next start would find nothing and begin unlocked. */
    if (g_session.started == BIOS_START_REFUSED && save_state(NULL, &g_state) != 0) return;
    if (legacy != kValueMissing) ZwDeleteValueKey(g_service_key, &legacy_name);
}

/* Returns 0 when the value was written and flushed, so that the core can undo a change
 * that a restart, or a power cut, would lose. No key means no lasting store, which is a
 * failure too. A value written but not flushed is put back to the old state (context)
 * where that works, so that the registry does not keep what the caller is told failed. */
static int save_state(void* context, const BiosCoreState* state) {
    UNICODE_STRING name;
    UCHAR* bytes = (UCHAR*)g_io;
    size_t size;
    NTSTATUS status;
    if (g_state_key == NULL) return -1;
    size = bios_core_save(state, bytes, sizeof(g_io));
    RtlInitUnicodeString(&name, kSavedValue);
    status = ZwSetValueKey(g_state_key, &name, 0, REG_BINARY, bytes, (ULONG)size);
    if (NT_SUCCESS(status)) {
        status = ZwFlushKey(g_state_key);
        if (!NT_SUCCESS(status) && context != NULL) {
            size = bios_core_save((const BiosCoreState*)context, bytes, sizeof(g_io));
            ZwSetValueKey(g_state_key, &name, 0, REG_BINARY, bytes, (ULONG)size);
        }
    }
    wipe(bytes, sizeof(g_io));
    return NT_SUCCESS(status) ? 0 : -1;
}

/* A fresh salt for the password a request may register: the clocks at this moment,
 * a count and the previous salt, hashed. Not secret, only different for each password,
 * so that equal passwords leave different hashes in the saved state. */
static void refresh_salt(void) {
    LARGE_INTEGER system_time;
    LARGE_INTEGER counter = KeQueryPerformanceCounter(NULL);
    UCHAR digest[SHA256_DIGEST_SIZE];
    Sha256 ctx;
    ULONG i;
    KeQuerySystemTime(&system_time);
    ++g_salt_count;
    sha256_init(&ctx);
    sha256_update(&ctx, (const uint8_t*)&system_time, sizeof(system_time));
    sha256_update(&ctx, (const uint8_t*)&counter, sizeof(counter));
    sha256_update(&ctx, (const uint8_t*)&g_salt_count, sizeof(g_salt_count));
    sha256_update(&ctx, g_session.salt, sizeof(g_session.salt));
    sha256_final(&ctx, digest);
    for (i = 0; i < BIOS_SALT_SIZE; ++i) g_session.salt[i] = digest[i];
}

/* The I/O manager checks the device's descriptor (device_security.h) when
 * \\.\KdaFwExt is opened; FILE_DEVICE_SECURE_OPEN extends it to names below the
 * device. Only the DACL is set: owner and group stay the object manager's. */
static NTSTATUS protect_device(PDEVICE_OBJECT device) {
    ULONG sd[(FWEXT_DEVICE_SECURITY_SIZE + sizeof(ULONG) - 1) / sizeof(ULONG)];
    HANDLE handle;
    NTSTATUS status;
    fwext_device_security((uint8_t*)sd, sizeof(sd));
    status = ObOpenObjectByPointer(device, OBJ_KERNEL_HANDLE, NULL, WRITE_DAC, NULL, KernelMode, &handle);
    if (!NT_SUCCESS(status)) return status;
    status = ZwSetSecurityObject(handle, DACL_SECURITY_INFORMATION, (PSECURITY_DESCRIPTOR)sd);
    ZwClose(handle);
    return status;
}

static NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS NTAPI FwExtCreateClose(PDEVICE_OBJECT device, PIRP irp) {
    UNREFERENCED_PARAMETER(device);
    return complete(irp, STATUS_SUCCESS, 0);
}

/* The process that sent the request. A top-level driver's device control runs in the
 * caller's context on Windows, and Wine answers the current process id with the
 * client's while it dispatches; its IoGetRequestorProcessId is missing and its
 * IoGetRequestorProcess names whichever client came first. */
static uint32_t requestor(void) { return (uint32_t)(ULONG_PTR)PsGetCurrentProcessId(); }

static NTSTATUS NTAPI FwExtDeviceControl(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    UCHAR request[BIOS_REQUEST_SIZE];
    UCHAR reply[BIOS_REPLY_SIZE];
    UCHAR* buffer;
    LARGE_INTEGER timeout;
    int handled;
    ULONG i;
    UNREFERENCED_PARAMETER(device);

    if (stack->Parameters.DeviceIoControl.IoControlCode != FWEXT_IOCTL)
        return complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    /* Buffered I/O: in and out share one system buffer, so the request is copied out
     * before the reply overwrites it. */
    buffer = (UCHAR*)irp->AssociatedIrp.SystemBuffer;
    if (buffer == NULL || stack->Parameters.DeviceIoControl.InputBufferLength != BIOS_REQUEST_SIZE ||
        stack->Parameters.DeviceIoControl.OutputBufferLength < BIOS_REPLY_SIZE)
        return complete(irp, STATUS_INVALID_PARAMETER, 0);

    for (i = 0; i < BIOS_REQUEST_SIZE; ++i) request[i] = buffer[i];
    for (i = 0; i < BIOS_REPLY_SIZE; ++i) reply[i] = 0;

    timeout.QuadPart = LOCK_WAIT_100NS;
    if (KeWaitForSingleObject(&g_lock, Executive, KernelMode, FALSE, &timeout) != STATUS_SUCCESS) {
        wipe(request, sizeof(request));
        wipe(buffer, BIOS_REQUEST_SIZE);
        return complete(irp, STATUS_DEVICE_BUSY, 0);
    }
    if (request[0] == 0x83 || request[0] == 0x86) refresh_salt();
    g_session.opener = requestor();
    /* Milliseconds near enough (1.024) without a 64-bit division, which i686 would take
     * from a library the driver does not link; the core only compares differences. */
    g_session.now_ms = (uint32_t)((ULONG)(KeQueryInterruptTime() >> 10) / 10);
    handled = bios_core_handle_saved(&g_state, &g_session, &g_before, request, reply, save_state, &g_before);
    KeReleaseMutex(&g_lock, FALSE);
    /* The request may hold password keys. */
    wipe(request, sizeof(request));

    if (handled != 0) {
        wipe(buffer, BIOS_REQUEST_SIZE);
        /* A change the registry did not take is undone: the caller must not believe in it. */
        return complete(irp, handled == BIOS_SAVE_FAILED ? STATUS_UNSUCCESSFUL : STATUS_INVALID_DEVICE_REQUEST, 0);
    }
    for (i = 0; i < BIOS_REPLY_SIZE; ++i) buffer[i] = reply[i];
    /* The system buffer returns to pool as it is; clear the request byte the reply left. */
    buffer[BIOS_REPLY_SIZE] = 0;
    wipe(reply, sizeof(reply));
    return complete(irp, STATUS_SUCCESS, BIOS_REPLY_SIZE);
}

static VOID NTAPI FwExtUnload(PDRIVER_OBJECT driver) {
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, kLinkName);
    IoDeleteSymbolicLink(&link);
    if (driver->DeviceObject != NULL) IoDeleteDevice(driver->DeviceObject);
    close_keys();
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    UNICODE_STRING name;
    UNICODE_STRING link;
    PDEVICE_OBJECT device = NULL;
    NTSTATUS status;

    /* The image may stay mapped between a stop and a start: load_state sets state and
     * session afresh, never from whatever the last run left in memory. */
    KeInitializeMutex(&g_lock, 0);
    open_keys(registryPath);
    load_state();

    RtlInitUnicodeString(&name, kDeviceName);
    status = IoCreateDevice(driver, 0, &name, FWEXT_DEVICE_TYPE, FILE_DEVICE_SECURE_OPEN, FALSE, &device);
    if (!NT_SUCCESS(status)) {
        close_keys();
        return status;
    }
    device->Flags |= DO_BUFFERED_IO;
    status = protect_device(device);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        close_keys();
        return status;
    }

    RtlInitUnicodeString(&link, kLinkName);
    status = IoCreateSymbolicLink(&link, &name);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        close_keys();
        return status;
    }

    driver->MajorFunction[IRP_MJ_CREATE] = FwExtCreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = FwExtCreateClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = FwExtDeviceControl;
    driver->DriverUnload = FwExtUnload;
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}
