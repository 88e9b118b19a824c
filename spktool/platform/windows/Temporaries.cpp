// The temporary files StageFile lists, deleted at exit and when the console tells
// spktool to end: Ctrl+C, Ctrl+Break, the window closed, the user logging off. Windows
// calls the handler on a thread of its own while the command goes on, so the list is
// guarded by a critical section, held from a file's creation to its listing.
#include "../Temporaries.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <list>

#include "Wide.h"

namespace {

CRITICAL_SECTION guard;
// Never freed, so that an event during exit still finds it. An import commits its files
// in the order it staged them, so the one to unlist is found first.
std::list<std::wstring>* listed = nullptr;

// The list in hand, with errno and the last error kept across it.
class Guarded {
public:
    Guarded() : savedErrno(errno), savedError(GetLastError()) { EnterCriticalSection(&guard); }
    ~Guarded()
    {
        LeaveCriticalSection(&guard);
        errno = savedErrno;
        SetLastError(savedError);
    }
    Guarded(const Guarded&) = delete;
    Guarded& operator=(const Guarded&) = delete;

private:
    int savedErrno;
    DWORD savedError;
};

void DeleteListed()
{
    Guarded held;
    for (const std::wstring& path : *listed)
        DeleteFileW(path.c_str());
    listed->clear();
}

// FALSE passes the event on, at last to the system's handler, which ends the process.
BOOL WINAPI OnConsoleEvent(DWORD)
{
    DeleteListed();
    return FALSE;
}

extern "C" void OnExit()
{
    DeleteListed();
}

bool Install()
{
    InitializeCriticalSection(&guard);
    listed = new std::list<std::wstring>;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    std::atexit(OnExit);
    return true;
}

}  // namespace

bool MakeListed(std::string& path, const std::function<bool(std::string&)>& make)
{
    static const bool installed = Install();
    (void)installed;
    EnterCriticalSection(&guard);
    struct Leave {
        ~Leave() { LeaveCriticalSection(&guard); }
    } leave;
    if (!make(path))
        return false;
    listed->push_back(Wide(path));
    return true;
}

void Unlist(const std::string& path)
{
    if (!listed)
        return;
    Guarded held;
    const std::wstring wide = Wide(path);
    for (auto entry = listed->begin(); entry != listed->end(); ++entry)
        if (*entry == wide) {
            listed->erase(entry);
            break;
        }
}
