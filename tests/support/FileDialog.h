// Driving the system's Open and Save dialogs from a ModalWatcher script.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Types `path` into the file name box and presses the default button.
void ChooseFile(HWND dialog, const std::string& path);
// The file name box's text as the dialog opened.
std::string OfferedFileName(HWND dialog);
// The entries of the "Files of type" list.
std::vector<std::string> FileTypes(HWND dialog);
void Cancel(HWND dialog);
