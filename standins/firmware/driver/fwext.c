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

static BiosCoreState g_state;
static BiosCoreState g_before; /* the state before the request, for a failed save */
static BiosCoreSession g_session;
static ULONG g_salt_count;
/* Two programs may send requests at the same time; the core is not reentrant. A mutex,
 * not a spin lock, because the state is written to the registry while it is held. */
static KMUTEX g_lock;

/* The state survives a restart of the driver, like CMOS survives a reboot. It lives in
 * the service's own key, the one place that is the driver's alone and that goes when
 * the service is deleted; only administrators may write there. The value is the
 * core's saved form, whose magic and exact size tell a foreign value from ours. */
static HANDLE g_service_key;
static const WCHAR kStateValue[] = L"State";
#define STATE_INFO_SIZE (FIELD_OFFSET(KEY_VALUE_PARTIAL_INFORMATION, Data) + sizeof(BiosCoreState))
/* One byte more than a state, so that a longer value is seen as longer, not cut. */
static ULONG g_io[(STATE_INFO_SIZE + 1 + sizeof(ULONG) - 1) / sizeof(ULONG)];

static const WCHAR kDeviceName[] = L"\\Device\\KdaFwExt";
static const WCHAR kLinkName[] = L"\\DosDevices\\KdaFwExt";

static void wipe(volatile UCHAR* p, ULONG n) {
    ULONG i;
    for (i = 0; i < n; ++i) p[i] = 0;
}

static void open_service_key(PUNICODE_STRING registryPath) {
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, registryPath, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwOpenKey(&g_service_key, KEY_QUERY_VALUE | KEY_SET_VALUE, &attributes))) g_service_key = NULL;
}

static void close_service_key(void) {
    if (g_service_key != NULL) ZwClose(g_service_key);
    g_service_key = NULL;
}

/* A missing value, one of another type or size, or one this code did not write leaves
 * the factory state in place. */
static void load_state(void) {
    UNICODE_STRING name;
    ULONG size = 0;
    KEY_VALUE_PARTIAL_INFORMATION* info = (KEY_VALUE_PARTIAL_INFORMATION*)g_io;
    if (g_service_key == NULL) return;
    RtlInitUnicodeString(&name, kStateValue);
    if (NT_SUCCESS(ZwQueryValueKey(g_service_key, &name, KeyValuePartialInformation, info, sizeof(g_io), &size)) &&
        info->Type == REG_BINARY)
        bios_core_load(&g_state, info->Data, info->DataLength);
    wipe((UCHAR*)g_io, sizeof(g_io));
}

/* Returns 0 when the value was written, so that the core can undo a change that a
 * restart would lose. No key means no lasting store, which is a failure too. */
static int save_state(void* context, const BiosCoreState* state) {
    UNICODE_STRING name;
    UCHAR* bytes = (UCHAR*)g_io;
    size_t size;
    NTSTATUS status;
    UNREFERENCED_PARAMETER(context);
    if (g_service_key == NULL) return -1;
    size = bios_core_save(state, bytes, sizeof(g_io));
    RtlInitUnicodeString(&name, kStateValue);
    status = ZwSetValueKey(g_service_key, &name, 0, REG_BINARY, bytes, (ULONG)size);
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

static NTSTATUS NTAPI FwExtDeviceControl(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    UCHAR request[BIOS_REQUEST_SIZE];
    UCHAR reply[BIOS_REPLY_SIZE];
    UCHAR* buffer;
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

    KeWaitForSingleObject(&g_lock, Executive, KernelMode, FALSE, NULL);
    if (request[0] == 0x83 || request[0] == 0x86) refresh_salt();
    handled = bios_core_handle_saved(&g_state, &g_session, &g_before, request, reply, save_state, NULL);
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
    close_service_key();
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    UNICODE_STRING name;
    UNICODE_STRING link;
    PDEVICE_OBJECT device = NULL;
    NTSTATUS status;

    /* The image may stay mapped between a stop and a start: begin from the factory
     * state, not from whatever the last run left in memory. */
    bios_core_init(&g_state);
    bios_core_session_init(&g_session);
    KeInitializeMutex(&g_lock, 0);
    open_service_key(registryPath);
    load_state();

    RtlInitUnicodeString(&name, kDeviceName);
    status = IoCreateDevice(driver, 0, &name, FWEXT_DEVICE_TYPE, FILE_DEVICE_SECURE_OPEN, FALSE, &device);
    if (!NT_SUCCESS(status)) {
        close_service_key();
        return status;
    }
    device->Flags |= DO_BUFFERED_IO;
    status = protect_device(device);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        close_service_key();
        return status;
    }

    RtlInitUnicodeString(&link, kLinkName);
    status = IoCreateSymbolicLink(&link, &name);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        close_service_key();
        return status;
    }

    driver->MajorFunction[IRP_MJ_CREATE] = FwExtCreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = FwExtCreateClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = FwExtDeviceControl;
    driver->DriverUnload = FwExtUnload;
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}
