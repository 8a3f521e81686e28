// A file held open without sharing by another process (the hold_file tool), for as long as
// the object lives.
#pragma once

#include <windows.h>

#include <string>

class HeldFile {
  public:
    // Starts the tool on the file and waits until it holds it; throws when it cannot.
    explicit HeldFile(const std::string& path);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    // Lets the file go and waits for the tool to end; answers the tool's exit code.
    DWORD Release();

  private:
    void CloseEvents();

    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    PROCESS_INFORMATION process_ = {};
};

// The path of a tool program built beside the test programs (tests/tools), e.g. "hold_file".
std::string ToolPath(const std::string& name);
