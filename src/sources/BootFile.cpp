#include "BootFile.h"

#include "BootFileText.h"

std::optional<BootFileContents> ReadBootFile(const std::string& path) {
    auto text = ReadTextFile(path);
    if (!text)
        return std::nullopt;
    BootFileContents contents;
    contents.lines = ReadBootLines(*text);
    contents.bytes = std::move(*text);
    return contents;
}
