// winpthread, which the posix flavour of mingw's C++ runtime brings in, times its waits
// with GetTickCount64. Windows XP's KERNEL32 lacks it (it came with Vista), and an exe
// that imports it does not start there. This definition of the import's pointer takes
// the import's place; the 32-bit count it returns wraps after 49 days, longer than any
// wait of a command that runs for a moment.
#include <windows.h>

namespace {

ULONGLONG WINAPI TickCount64()
{
    return GetTickCount();
}

}  // namespace

extern "C" {
ULONGLONG(WINAPI* importGetTickCount64)() __asm__("__imp__GetTickCount64@0") = TickCount64;
}
