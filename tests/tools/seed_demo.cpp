// Seeds the system it runs on (a Wine prefix for the demo) with example autostart entries in
// every source Dawnroll shows: boot-file lines (some switched off), WIN.INI Load and Run programs,
// shortcuts in both Startup folders and values in all five run keys (one expandable string), and on a
// 64-bit system in the local machine's three run keys of the 32-bit programs.
// Replaces what the run keys and Startup folders held before, so it runs only in a prefix the
// project's scripts made (run-demo.sh makes the demo's) and refuses anywhere else.
//   seed_demo              seeds every source
//   seed_demo --run-once   only puts back the local machine's RunOnce example, which Wine runs
//                          and deletes whenever the prefix starts
#include "DemoSeed.h"
#include "ThrowawayPrefix.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const bool runOnceOnly = argc > 1 && std::strcmp(argv[1], "--run-once") == 0;
    if (!InThrowawayPrefix()) {
        std::fprintf(stderr, "seed_demo: %s\n", NotAThrowawayPrefixMessage().c_str());
        return 1;
    }
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = 0;
    try {
        if (runOnceOnly) {
            demo::SeedMachineRunOnce();
            std::printf("Seeded the local machine's RunOnce key again.\n");
        } else {
            demo::SeedAll();
            std::printf("Seeded %s, %s, WIN.INI (%s), %s, %s and %d run keys.\n", demo::kConfigSys, demo::kAutoexecBat,
                        demo::WinIni().c_str(), demo::UserStartupFolder().c_str(), demo::CommonStartupFolder().c_str(),
                        static_cast<int>(demo::RunKeysOfThisSystem().size()));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "seed_demo: %s\n", error.what());
        status = 1;
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return status;
}
