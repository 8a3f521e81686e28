#include "BootFile.h"

#include "BootFileText.h"
#include "WideText.h"

std::optional<BootFileContents> ReadBootFile(const std::string& path) {
    auto text = ReadTextFile(path);
    if (!text)
        return std::nullopt;
    BootFileContents contents;
    contents.utf16 = IsUtf16Text(*text);
    if (contents.utf16) {
        contents.wideLines = ReadUtf16BootLines(*text);
        contents.lines.reserve(contents.wideLines.size());
        for (const auto& line : contents.wideLines)
            contents.lines.push_back(AnsiOf(line));
    } else {
        contents.lines = ReadBootLines(*text);
    }
    contents.bytes = std::move(*text);
    return contents;
}
