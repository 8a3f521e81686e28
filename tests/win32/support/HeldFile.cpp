#include "HeldFile.h"

#include <stdexcept>

std::string ToolPath(const std::string& name) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string folder = self;
    folder.resize(folder.find_last_of('\\') + 1);
    // Test programs are built in tests\win32, tools in tests\tools.
    return folder + "..\\tools\\" + name + ".exe";
}

HeldFile::HeldFile(const std::string& path) {
    const std::string stem =
        "DawnrollHeldFile-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) + "-";
    ready_ = CreateEventA(nullptr, TRUE, FALSE, (stem + "ready").c_str());
    release_ = CreateEventA(nullptr, TRUE, FALSE, (stem + "release").c_str());
    if (!ready_ || !release_) {
        CloseEvents();
        throw std::runtime_error("cannot create the events of the file holder");
    }
    std::string command = "\"" + ToolPath("hold_file") + "\" \"" + path + "\" " + stem + "ready " + stem + "release";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_)) {
        const DWORD error = GetLastError();
        CloseEvents();
        throw std::runtime_error("cannot start " + command + ": " + std::to_string(error));
    }
    const HANDLE waits[] = {ready_, process_.hProcess};
    if (WaitForMultipleObjects(2, waits, FALSE, 20000) != WAIT_OBJECT_0) {
        const DWORD code = Release();
        CloseEvents();
        throw std::runtime_error("the file holder did not hold " + path + " (exit code " + std::to_string(code) + ")");
    }
}

DWORD HeldFile::Release() {
    DWORD code = STILL_ACTIVE;
    if (process_.hProcess) {
        SetEvent(release_);
        WaitForSingleObject(process_.hProcess, 20000);
        GetExitCodeProcess(process_.hProcess, &code);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
    }
    return code;
}

void HeldFile::CloseEvents() {
    if (ready_)
        CloseHandle(ready_);
    if (release_)
        CloseHandle(release_);
    ready_ = release_ = nullptr;
}

HeldFile::~HeldFile() {
    Release();
    CloseEvents();
}
