#include "BootFile.h"

#include "BootFileText.h"

std::optional<std::vector<std::string>> ReadBootFile(const std::string& path) {
    const auto text = ReadTextFile(path);
    if (!text)
        return std::nullopt;
    return ReadBootLines(*text);
}

RewriteResult WriteBootFile(const std::string& path, const std::vector<std::string>& lines) {
    return RewriteTextFile(path, WriteBootLines(lines));
}
