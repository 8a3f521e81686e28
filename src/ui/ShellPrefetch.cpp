#include "ShellPrefetch.h"

#include <objbase.h>
#include <shellapi.h>

HIMAGELIST ShellSmallImages() {
    SHFILEINFOA info = {};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

ShellPrefetch::ShellPrefetch(RegistryView localMachineView)
    : localMachineView_(localMachineView), reader_([this] { Read(); }) {}

ShellPrefetch::~ShellPrefetch() {
    WaitForReading();
}

void ShellPrefetch::Read() {
    // The shell resolves shortcuts' display names through COM.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    images_ = ShellSmallImages();
    for (int which = 0; which < 2; ++which) {
        try {
            const StartupFolderPlace place = StartupFolderPlaceOf(which, localMachineView_);
            listings_[which] = ReadStartupFolder(place.valueName, place.root, place.view);
        } catch (...) {
            errors_[which] = std::current_exception();
        }
    }
    if (SUCCEEDED(com))
        CoUninitialize();
}

void ShellPrefetch::WaitForReading() {
    if (reader_.joinable())
        reader_.join();
}

HIMAGELIST ShellPrefetch::SystemImages() {
    WaitForReading();
    return images_;
}

StartupFolderListing ShellPrefetch::StartupFolder(int which) {
    WaitForReading();
    if (errors_[which])
        std::rethrow_exception(errors_[which]);
    return std::move(listings_[which]);
}
