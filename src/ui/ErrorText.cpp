#include "ErrorText.h"

std::string ErrorDialogText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

std::string JoinedMessages(const std::vector<std::string>& messages) {
    std::string text;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += i + 1 < messages.size() ? ErrorDialogText(messages[i]) : messages[i];
    }
    return text;
}

std::string ProgramTitle(const std::string& modulePath) {
    const auto slash = modulePath.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    for (std::size_t i = 1; i < name.size(); ++i) {
        const char c = name[i];
        if (c >= 'A' && c <= 'Z')
            name[i] = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}
