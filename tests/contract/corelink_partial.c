/* A common module with one export only: the adapter must name the missing ones. */
#include <windows.h>

LONG WINAPI GetInvalidPwdCnt(void) { return 4711; }
