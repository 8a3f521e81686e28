#include "BootFileText.h"

namespace {
constexpr char kCtrlZ = 26;

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The line rules on units of either width: a carriage return ends a line, the line feed right
// after it goes with it, the first Ctrl-Z ends the text.
template <typename Char> std::vector<std::basic_string<Char>> SplitLines(std::basic_string_view<Char> text) {
    const auto eof = text.find(Char(kCtrlZ));
    if (eof != std::basic_string_view<Char>::npos)
        text = text.substr(0, eof);

    std::vector<std::basic_string<Char>> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto cr = text.find(Char('\r'), start);
        if (cr == std::basic_string_view<Char>::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, cr - start));
        start = cr + 1;
        if (start < text.size() && text[start] == Char('\n'))
            ++start;
    }
    return lines;
}
} // namespace

std::vector<std::string> ReadBootLines(std::string_view text) {
    return SplitLines(text);
}

std::optional<Utf16Order> Utf16OrderOf(std::string_view bytes) {
    if (bytes.size() < 2)
        return std::nullopt;
    const auto first = static_cast<unsigned char>(bytes[0]);
    const auto second = static_cast<unsigned char>(bytes[1]);
    if (first == 0xFF && second == 0xFE)
        return Utf16Order::LittleEndian;
    if (first == 0xFE && second == 0xFF)
        return Utf16Order::BigEndian;
    return std::nullopt;
}

bool IsUtf16Text(std::string_view bytes) {
    return Utf16OrderOf(bytes).has_value();
}

std::optional<UnwrittenText> WhyNotRewritten(std::string_view bytes) {
    if (IsUtf16Text(bytes))
        return UnwrittenText::Utf16;
    // What follows the first Ctrl-Z is no part of the text: a rewrite drops it.
    bytes = bytes.substr(0, bytes.find(kCtrlZ));
    const auto first = bytes.find('\0');
    if (first == std::string_view::npos)
        return std::nullopt;
    for (auto at = first; at != std::string_view::npos; at = bytes.find('\0', at + 1)) {
        if (at % 2 == 0)
            return UnwrittenText::NulBytes;
    }
    return bytes.size() % 2 == 0 ? UnwrittenText::Utf16 : UnwrittenText::NulBytes;
}

std::vector<std::wstring> ReadUtf16BootLines(std::string_view bytes) {
    const auto order = Utf16OrderOf(bytes);
    if (order)
        bytes.remove_prefix(2);
    const bool bigEndian = order == Utf16Order::BigEndian;
    std::wstring units;
    units.reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<wchar_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    if (bytes.size() % 2 != 0)
        units += kReplacementCharacter;
    return SplitLines(std::wstring_view(units));
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
