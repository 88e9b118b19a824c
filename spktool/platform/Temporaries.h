// Every temporary file StageFile makes is listed from the moment it exists until it is
// committed or discarded. What is still listed is deleted when spktool exits, and when
// it is ended from outside: SIGINT, SIGTERM or SIGHUP, or on Windows Ctrl+C, Ctrl+Break
// or the console window closed. A run killed beyond catching leaves its files to
// RemoveLeftovers.
#pragma once
#include <functional>
#include <string>

// Runs `make`, which creates a temporary file and names it in `path`, with the deletion
// held off, and lists the file when `make` created it: no signal or Ctrl+C falls between
// the creating and the listing. The first call sets up the deletion.
bool MakeListed(std::string& path, const std::function<bool(std::string&)>& make);

// Once the file is moved or deleted. Keeps errno and Windows' last error, so that a
// failure is still read right after the clean-up.
void Unlist(const std::string& path);
