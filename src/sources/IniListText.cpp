#include "IniListText.h"

namespace {
constexpr std::string_view kSectionPart = ", [Windows], ";

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}
} // namespace

std::vector<std::string> SplitProgramList(std::string_view value) {
    std::vector<std::string> programs;
    while (!value.empty()) {
        const auto semicolon = value.find(';');
        const auto piece = Trimmed(value.substr(0, semicolon));
        if (!piece.empty())
            programs.emplace_back(piece);
        if (semicolon == std::string_view::npos)
            break;
        value.remove_prefix(semicolon + 1);
    }
    return programs;
}

std::string JoinProgramList(const std::vector<std::string>& programs) {
    std::string value;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        if (i > 0)
            value += ';';
        value += programs[i];
    }
    return value;
}

std::string IniListTitle(const std::string& profileFile, const std::string& key) {
    return profileFile + std::string(kSectionPart) + key + "=";
}

std::optional<IniListLocator> ParseIniListTitle(std::string_view title) {
    if (title.empty() || title.back() != '=')
        return std::nullopt;
    title.remove_suffix(1);
    const auto at = title.rfind(kSectionPart);
    if (at == std::string_view::npos)
        return std::nullopt;
    return IniListLocator{std::string(title.substr(0, at)), std::string(title.substr(at + kSectionPart.size()))};
}

std::string WithTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}
