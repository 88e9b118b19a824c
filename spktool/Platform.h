// The little spktool needs of the operating system, in two headers:
//   platform/Files.h    reading, listing, staging and locking files, and the clean-up
//                       of temporary files
//   platform/Console.h  the command line, standard output and error, and for a file
//                       dropped on spktool a message box and the user's browser
// Each is made of one part all systems share (platform/*.cpp) and one per system
// (platform/posix, platform/windows), of which the build takes the one it is for.
#pragma once
#include "platform/Console.h"
#include "platform/Files.h"
