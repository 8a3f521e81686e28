// Texts of the error dialog, kept free of the platform so they can be tested natively.
#pragma once

#include <string>

// The dialog's text: the message, with a full stop appended when it is not empty and its
// last character's code is above that of "." (so "...'foo'" and "...(x)" get none).
std::string ErrorDialogText(const std::string& message);

// The program title: the program file's name without its folder, cut at its first ".",
// every character after the first in lower case ("C:\x\DAWNROLL.EXE" gives "Dawnroll").
std::string ProgramTitle(const std::string& modulePath);
