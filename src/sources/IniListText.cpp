#include "IniListText.h"

#include <type_traits>
#include <utility>

namespace {
// Every character up to and including the space; a wide character is compared by its code.
template <typename Char> bool IsBlankOrControl(Char c) {
    return static_cast<std::make_unsigned_t<Char>>(c) <= static_cast<unsigned>(' ');
}

template <typename Char> std::basic_string_view<Char> Trimmed(std::basic_string_view<Char> text) {
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

// The characters the profile calls take away around a value.
template <typename Char> bool IsProfileBlank(Char c) {
    const auto code = static_cast<std::make_unsigned_t<Char>>(c);
    return code == ' ' || (code >= '\t' && code <= '\r') || code == 26;
}

template <typename Char> std::basic_string<Char> ReadBack(std::basic_string_view<Char> value) {
    while (!value.empty() && IsProfileBlank(value.front()))
        value.remove_prefix(1);
    while (!value.empty() && IsProfileBlank(value.back()))
        value.remove_suffix(1);
    if (value.size() >= 2 && (value.front() == Char('"') || value.front() == Char('\'')) &&
        value.back() == value.front()) {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    return std::basic_string<Char>(value);
}

template <typename Char> std::vector<std::basic_string<Char>> Split(std::basic_string_view<Char> value) {
    std::vector<std::basic_string<Char>> programs;
    while (!value.empty()) {
        const auto semicolon = value.find(Char(';'));
        const auto piece = Trimmed(value.substr(0, semicolon));
        if (!piece.empty())
            programs.emplace_back(piece);
        if (semicolon == std::basic_string_view<Char>::npos)
            break;
        value.remove_prefix(semicolon + 1);
    }
    return programs;
}

template <typename Char> std::basic_string<Char> Join(const std::vector<std::basic_string<Char>>& programs) {
    std::basic_string<Char> value;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        if (i > 0)
            value += Char(';');
        value += programs[i];
    }
    return value;
}

template <typename Char> std::basic_string<Char> WithBackslash(std::basic_string<Char> folder) {
    if (folder.empty() || folder.back() != Char('\\'))
        folder += Char('\\');
    return folder;
}
} // namespace

std::vector<std::wstring> SplitProgramList(std::wstring_view value) {
    return Split(value);
}

std::wstring JoinProgramList(const std::vector<std::wstring>& programs) {
    return Join(programs);
}

std::wstring ProfileReadBack(const std::wstring& written) {
    return ReadBack(std::wstring_view(written));
}

std::wstring IniListTitle(const std::wstring& profileFile, const std::wstring& key) {
    return profileFile + L", [Windows], " + key + L'=';
}

std::string WithTrailingBackslash(std::string folder) {
    return WithBackslash(std::move(folder));
}
std::wstring WithTrailingBackslash(std::wstring folder) {
    return WithBackslash(std::move(folder));
}
