// Conversions between the system's wide (UTF-16) text, UTF-8 and the ANSI code page.
// The program keeps names, data, paths and titles in wide text, as the system stores them;
// messages are UTF-8 inside std::string, so that a message names a value exactly.
#pragma once

#include <string>
#include <string_view>

std::string Utf8Of(std::wstring_view text);
std::wstring WideOfUtf8(std::string_view text);
// The text of a string in the ANSI code page; for locators given in that code page.
std::wstring WideOfAnsi(std::string_view text);
std::string AnsiOf(std::wstring_view text);
// A message's text for the error dialog: UTF-8 when the message is valid UTF-8, otherwise read
// in the ANSI code page (messages that carry bytes of a boot file's path).
std::wstring WideOfMessage(std::string_view message);
