// What each system's files (posix/, windows/) give the shared ones and each other.
#pragma once
#include <string>
#include <vector>

// The last failure's code: errno, or Windows' GetLastError(). Read it right after the
// call that failed; any later call may change it.
int LastError();
// The system's words for a failure's code, short and the same on every build where the
// failure is the same.
std::string ErrorText(int code);

inline std::string LastErrorText()
{
    return ErrorText(LastError());
}

// Always false, for a failure's return, with `what` before the reason.
inline bool Prefixed(const char* what, std::string& error)
{
    error = what + error;
    return false;
}

// The names of what `directory` holds other than folders (a symlink to one counts as
// one), in the order the system lists them; none when it cannot be read.
std::vector<std::string> FileNamesIn(const std::string& directory);

// Deletes `path` when it is a regular file (not a symlink) not written for more than
// `seconds`.
bool RemoveIfUntouched(const std::string& path, int seconds);
