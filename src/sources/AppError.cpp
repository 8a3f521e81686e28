#include "AppError.h"

std::string InOutErrorMessage(unsigned long code) {
    switch (code) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    case 100:
        return "Read beyond end of file";
    case 101:
        return "Disk full";
    case 106:
        return "Invalid numeric input";
    default:
        return "I/O error " + std::to_string(code);
    }
}

void RaiseInOutError(unsigned long code) {
    throw AppError(InOutErrorMessage(code));
}

std::string FormatMessageWith(const std::string& pattern, const std::string& text) {
    const auto at = pattern.find("%s");
    if (at == std::string::npos)
        return pattern;
    return pattern.substr(0, at) + text + pattern.substr(at + 2);
}
