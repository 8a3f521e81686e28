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

std::string ReasonOfError(unsigned long code) {
    switch (code) {
    case 2: // ERROR_FILE_NOT_FOUND
    case 3: // ERROR_PATH_NOT_FOUND
        return "it no longer exists";
    case 5: // ERROR_ACCESS_DENIED
        return "access is denied";
    case 19: // ERROR_WRITE_PROTECT
        return "the disk is write-protected";
    case 32: // ERROR_SHARING_VIOLATION
    case 33: // ERROR_LOCK_VIOLATION
        return "it is in use by another program";
    case 39:  // ERROR_HANDLE_DISK_FULL
    case 112: // ERROR_DISK_FULL
        return "the disk is full";
    case 303: // ERROR_DELETE_PENDING
        return "it is being deleted, but another program still holds it open";
    case 1175: // ERROR_UNABLE_TO_REMOVE_REPLACED
        return "the file could not be replaced";
    case 1176: // ERROR_UNABLE_TO_MOVE_REPLACEMENT
        return "the new text could not be moved into its place";
    case 1018: // ERROR_KEY_DELETED
        return "the key was deleted";
    default:
        return "error " + std::to_string(code);
    }
}
