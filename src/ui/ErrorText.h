// Texts of the error dialog, kept free of the platform so they can be tested natively.
#pragma once

#include <string>
#include <vector>

// The dialog's text: the message, with a full stop appended when it is not empty and its
// last character's code is above that of "." (so "...'foo'" and "...(x)" get none).
std::string ErrorDialogText(const std::string& message);

// Several errors of one event told in one dialog: one message a line, in the order they came,
// each but the last with the dialog's full-stop rule (the dialog applies it to the last).
std::string JoinedMessages(const std::vector<std::string>& messages);

// The program title: the program file's name without its folder, cut at its first ".",
// every character after the first in lower case ("C:\x\DAWNROLL.EXE" gives "Dawnroll").
std::string ProgramTitle(const std::string& modulePath);
