// The temporary files StageFile lists, deleted at exit and by a handler for the signals
// that end a command from outside (Ctrl+C, kill, a closed terminal). The handler may
// only make async-signal-safe calls and read memory nobody is changing, so the list is
// a table of C strings changed only with those signals blocked: whenever the handler
// runs, every entry is complete. It deletes them, then lets the signal end spktool as it
// would have: SA_RESETHAND gives it back its default action, and the raise is delivered
// once the handler returns.
#include "../Temporaries.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace {

constexpr int SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

// Plain memory, never freed, so that a signal during exit still finds it. Entries
// [first, end) are in use, a gone one is null: an import commits its files in the order
// it staged them and every other command stages one at a time, so the one to unlist is
// found at either end.
char** table = nullptr;
std::size_t first = 0;
std::size_t end = 0;
std::size_t room = 0;

void DeleteListed()
{
    for (std::size_t i = first; i < end; ++i)
        if (table[i])
            unlink(table[i]);
    first = end = 0;
}

extern "C" void OnSignal(int signal)
{
    const int saved = errno;
    DeleteListed();
    raise(signal);
    errno = saved;
}

extern "C" void OnExit()
{
    const int saved = errno;
    DeleteListed();
    errno = saved;
}

sigset_t Signals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : SIGNALS)
        sigaddset(&set, signal);
    return set;
}

// A signal ignored when spktool started (nohup, a background job's SIGINT) stays so.
bool Install()
{
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_mask = Signals();
    action.sa_flags = SA_RESETHAND;
    for (int signal : SIGNALS) {
        struct sigaction old {};
        if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
    std::atexit(OnExit);
    return true;
}

// The table's changes, with the signals blocked and errno kept.
class SignalsHeld {
public:
    SignalsHeld()
    {
        const sigset_t set = Signals();
        sigprocmask(SIG_BLOCK, &set, &before);
    }
    ~SignalsHeld()
    {
        const int saved = errno;
        sigprocmask(SIG_SETMASK, &before, nullptr);
        errno = saved;
    }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t before;
};

// Room for one more entry at the end; the old table goes only once the new one is in
// place.
void MakeRoom()
{
    if (end < room)
        return;
    const std::size_t more = (end - first) * 2 + 16;
    char** moved = new char*[more];
    const std::size_t kept = std::copy_if(table + first, table + end, moved,
                                          [](const char* path) { return path != nullptr; }) -
                             moved;
    delete[] std::exchange(table, moved);
    first = 0;
    end = kept;
    room = more;
}

// The gone entries at either end of those in use.
void Trim()
{
    while (first < end && !table[first])
        ++first;
    while (end > first && !table[end - 1])
        --end;
}

}  // namespace

bool MakeListed(std::string& path, const std::function<bool(std::string&)>& make)
{
    static const bool installed = Install();
    (void)installed;
    SignalsHeld held;
    // Whatever may fail for want of memory comes first, while there is no file to lose:
    // the name made keeps the template's length.
    MakeRoom();
    std::unique_ptr<char[]> copy(new char[path.size() + 1]);
    if (!make(path))
        return false;
    std::memcpy(copy.get(), path.c_str(), path.size() + 1);
    table[end++] = copy.release();
    return true;
}

void Unlist(const std::string& path)
{
    const int saved = errno;
    {
        SignalsHeld held;
        for (std::size_t i = first; i < end; ++i)
            if (table[i] && path == table[i]) {
                delete[] std::exchange(table[i], nullptr);
                break;
            }
        Trim();
    }
    errno = saved;
}
