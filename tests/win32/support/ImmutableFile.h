// A file the host's file system refuses to change, rename or remove, whoever asks: the Linux
// "immutable" attribute (chattr +i) on the file behind a Wine path, for as long as the object
// lives. Only root may set it; the attribute is taken away again when the object ends, also
// when the test fails.
#pragma once

#include <string>

class ImmutableFile {
  public:
    // Makes the file immutable; throws when it cannot (see Available()).
    explicit ImmutableFile(const std::string& path);
    ~ImmutableFile();
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;

    // Why files cannot be made immutable here, or "" when they can (running on Wine as root,
    // with chattr on the host).
    static std::string Unavailable();

  private:
    std::string path_;
    std::string hostPath_;
};
