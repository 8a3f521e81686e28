#include "FilePathText.h"

#include <vector>

namespace {
bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

wchar_t UpperAscii(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool SameAsciiLetters(std::wstring_view text, std::wstring_view upper) {
    if (text.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (UpperAscii(text[i]) != upper[i])
            return false;
    }
    return true;
}

// The names of a path's folders and file, "." and ".." resolved, the last name as it is.
std::vector<std::wstring_view> Names(std::wstring_view rest) {
    std::vector<std::wstring_view> names;
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = start;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        const auto name = rest.substr(start, end - start);
        if (name == L"..") {
            if (!names.empty())
                names.pop_back();
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    return names;
}

std::wstring Joined(std::wstring prefix, std::wstring_view rest) {
    const auto names = Names(rest);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            prefix += L'\\';
        prefix += names[i];
    }
    // A path to a folder keeps its final backslash.
    if (!rest.empty() && IsSeparator(rest.back()) && !names.empty())
        prefix += L'\\';
    return prefix;
}
} // namespace

std::wstring ExactPath(std::wstring_view path) {
    if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == L'?' || path[2] == L'.') &&
        IsSeparator(path[3]))
        return std::wstring(path);
    if (path.size() >= 3 && path[1] == L':' && IsSeparator(path[2]) && UpperAscii(path[0]) >= L'A' &&
        UpperAscii(path[0]) <= L'Z')
        return Joined(std::wstring(L"\\\\?\\") + path[0] + L":\\", path.substr(3));
    if (path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]))
        return Joined(L"\\\\?\\UNC\\", path.substr(2));
    return std::wstring(path);
}

bool NameNeedsExactPath(std::wstring_view fileName) {
    if (fileName.empty())
        return false;
    if (fileName.back() == L'.' || fileName.back() == L' ')
        return true;
    auto stem = fileName.substr(0, fileName.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.remove_suffix(1);
    for (const std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL"}) {
        if (SameAsciiLetters(stem, device))
            return true;
    }
    if (stem.size() == 4 && stem[3] >= L'0' && stem[3] <= L'9')
        return SameAsciiLetters(stem.substr(0, 3), L"COM") || SameAsciiLetters(stem.substr(0, 3), L"LPT");
    return false;
}
