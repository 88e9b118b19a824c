// What every system does alike with standard output.
#include "Console.h"

#include <cerrno>
#include <cstdio>

#include "System.h"

bool FinishOutput(std::string& error)
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    error = errno ? LastErrorText() : "write error";
    return false;
}
