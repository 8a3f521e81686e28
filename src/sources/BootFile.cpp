#include "BootFile.h"

#include "BootFileText.h"
#include "WideText.h"

#include <algorithm>

std::optional<BootFileContents> ReadBootFile(const std::string& path) {
    auto text = ReadTextFile(path);
    if (!text)
        return std::nullopt;
    BootFileContents contents;
    const auto unwritten = WhyNotRewritten(*text);
    contents.shownOnly = unwritten.has_value();
    if (unwritten == UnwrittenText::Utf16) {
        contents.wideLines = ReadUtf16BootLines(*text);
        contents.lines.reserve(contents.wideLines.size());
        for (const auto& line : contents.wideLines)
            contents.lines.push_back(AnsiOf(line));
    } else {
        contents.lines = ReadBootLines(*text);
    }
    if (unwritten == UnwrittenText::NulBytes) {
        for (const auto& line : contents.lines) {
            std::wstring shown = WideOfAnsi(line);
            std::replace(shown.begin(), shown.end(), L'\0', kShownNul);
            contents.wideLines.push_back(std::move(shown));
        }
    }
    contents.bytes = std::move(*text);
    return contents;
}
