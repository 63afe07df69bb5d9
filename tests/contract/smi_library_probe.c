/* Stands in for DEZEZ.dll in the adapter tests: IoSmiCmd answers each request byte
 * XOR 0x5A in the reply and returns a value no ordinary BOOL has, so that the test
 * sees the call went through and the result came back unchanged. Built a second
 * time without the entry point. */
#include <windows.h>

#ifdef SMI_PROBE_ENTRY
__declspec(dllexport) BOOL WINAPI IoSmiCmd(BYTE* request, BYTE* reply) {
    int i;
    for (i = 0; i < 32; ++i) reply[i] = (BYTE)(request[i] ^ 0x5A);
    return 0x5A5A;
}
#else
__declspec(dllexport) BOOL WINAPI IoSmiCommand(BYTE* request, BYTE* reply) {
    (void)request;
    (void)reply;
    return 1;
}
#endif
