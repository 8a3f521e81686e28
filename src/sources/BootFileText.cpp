#include "BootFileText.h"

namespace {
constexpr char kCtrlZ = 26;

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
} // namespace

std::vector<std::string> ReadBootLines(std::string_view text) {
    const auto eof = text.find(kCtrlZ);
    if (eof != std::string_view::npos)
        text = text.substr(0, eof);

    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto cr = text.find('\r', start);
        if (cr == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, cr - start));
        start = cr + 1;
        if (start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

std::string WriteBootLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool HasCommentMarker(std::string_view line) {
    if (line.size() < kCommentMarker.size())
        return false;
    for (std::size_t i = 0; i < kCommentMarker.size(); ++i) {
        if (UpperAscii(line[i]) != kCommentMarker[i])
            return false;
    }
    return true;
}

std::string ToggledBootLine(const std::string& line, bool checked) {
    const bool marked = HasCommentMarker(line);
    if (checked && marked)
        return line.substr(kCommentMarker.size());
    if (!checked && !marked)
        return std::string(kCommentMarker) + line;
    return line;
}

std::string_view FileNameOf(std::string_view path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

namespace {
std::string RewriteFileName(std::string_view fileName, std::string_view what, unsigned number) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    do {
        hex.insert(hex.begin(), digits[number % 16]);
        number /= 16;
    } while (number != 0);
    std::string name(fileName);
    name += ".Dawnroll-";
    name += what;
    name += '-';
    name += hex;
    name += ".tmp";
    return name;
}
} // namespace

std::string RewriteTemporaryName(std::string_view fileName, unsigned number) {
    return RewriteFileName(fileName, "new", number);
}

std::string RewriteBackupName(std::string_view fileName, unsigned number) {
    return RewriteFileName(fileName, "backup", number);
}
