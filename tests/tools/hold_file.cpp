// Holds a file open without sharing, as another program that keeps it busy would.
//   hold_file PATH READY_EVENT RELEASE_EVENT
// Opens PATH for reading and writing with share mode 0, signals the named event READY_EVENT,
// and keeps the file open until the named event RELEASE_EVENT is signalled (or 60 s pass).
// Exit code 0 when the file was held, 1 when it could not be opened, 2 on bad arguments.
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
    if (!ready || !release)
        return 2;
    HANDLE file =
        CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    SetEvent(ready);
    WaitForSingleObject(release, 60000);
    CloseHandle(file);
    CloseHandle(release);
    CloseHandle(ready);
    return 0;
}
