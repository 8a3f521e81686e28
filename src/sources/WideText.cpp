#include "WideText.h"

#include <windows.h>

namespace {
std::string Narrowed(UINT codePage, std::wstring_view text) {
    if (text.empty())
        return std::string();
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, 0, text.data(), size, &narrow[0], length, nullptr, nullptr);
    return narrow;
}

bool Widened(UINT codePage, DWORD flags, std::string_view text, std::wstring* wide) {
    wide->clear();
    if (text.empty())
        return true;
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0)
        return false;
    wide->assign(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, &(*wide)[0], length);
    return true;
}
} // namespace

std::string Utf8Of(std::wstring_view text) {
    return Narrowed(CP_UTF8, text);
}

std::wstring WideOfUtf8(std::string_view text) {
    std::wstring wide;
    Widened(CP_UTF8, 0, text, &wide);
    return wide;
}

std::wstring WideOfAnsi(std::string_view text) {
    std::wstring wide;
    Widened(CP_ACP, 0, text, &wide);
    return wide;
}

std::string AnsiOf(std::wstring_view text) {
    return Narrowed(CP_ACP, text);
}

std::wstring WideOfMessage(std::string_view message) {
    std::wstring wide;
    if (Widened(CP_UTF8, MB_ERR_INVALID_CHARS, message, &wide))
        return wide;
    return WideOfAnsi(message);
}
