// The shell's share of the window's first refresh, read on a thread of its own while the window
// and its controls are made: the two Startup folders' names and icons. Under Wine the shell
// needs tens of milliseconds for these at a program's start, about as long as making the
// controls, and the two can run side by side; with many files it needs seconds, and the
// window is shown without them: they arrive when the reading ends.
#pragma once

#include "../sources/StartupFolder.h"

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

// The shell's system small-icon image list, made on its first use in the process; owned by the
// shell, shared by every list that shows its icons.
HIMAGELIST ShellSmallImages();

class ShellPrefetch {
  public:
    // Starts reading at once; the all-users folder's location is read in the view given.
    explicit ShellPrefetch(RegistryView localMachineView);
    // Waits for the reading to end, taken or not.
    ~ShellPrefetch();
    ShellPrefetch(const ShellPrefetch&) = delete;
    ShellPrefetch& operator=(const ShellPrefetch&) = delete;

    // Whether the reading has ended.
    bool Read() const { return read_; }
    // Posts `message` to `window` when the reading has ended (at once when it has).
    void TellWhenRead(HWND window, UINT message);
    // The listing of the current user's (0) or the all-users (1) Startup folder; raises the
    // error its reading raised. Waits for the reading.
    StartupFolderListing StartupFolder(int which);

  private:
    void ReadFolders();
    void WaitForReading();

    RegistryView localMachineView_;
    StartupFolderListing listings_[2];
    std::exception_ptr errors_[2];
    std::atomic<bool> read_{false};
    std::mutex told_;
    HWND window_ = nullptr;
    UINT message_ = 0;
    std::thread reader_;
};
