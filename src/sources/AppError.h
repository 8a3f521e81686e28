// Errors of the program: exceptions that carry the message the error dialog shows.
// Platform-free so that the message rules can be tested natively.
#pragma once

#include <stdexcept>
#include <string>

class AppError : public std::runtime_error {
  public:
    explicit AppError(const std::string& message) : std::runtime_error(message) {}
};

// A change a source refused to make (access denied, a file in use, a key gone, ...). Its message
// is the reason in words; the window names the entry around it, so the user is told which change
// was not made and why.
class ChangeRefused : public AppError {
  public:
    ChangeRefused(const std::string& reason, unsigned long code) : AppError(reason), code_(code) {}
    unsigned long Code() const { return code_; }

  private:
    unsigned long code_;
};

// Message of the input/output error for a platform error code ("Disk full", "I/O error 112").
std::string InOutErrorMessage(unsigned long code);

// The input/output error raised by reading and writing the boot files.
[[noreturn]] void RaiseInOutError(unsigned long code);

// Why a change was not made, in words a user understands, for a platform error code: "access
// is denied", "it is in use by another program", ... ("error 1234" for a code without words).
std::string ReasonOfError(unsigned long code);

// Replaces the one "%s" of a message pattern with a text, e.g. "Invalid data type for '%s'".
std::string FormatMessageWith(const std::string& pattern, const std::string& text);
