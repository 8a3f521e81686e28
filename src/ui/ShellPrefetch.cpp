#include "ShellPrefetch.h"

#include <commoncontrols.h>
#include <objbase.h>
#include <shellapi.h>

HIMAGELIST ShellSmallImages() {
    // The list itself, without looking up any file's icon for it.
    IImageList* list = nullptr;
    if (SUCCEEDED(SHGetImageList(SHIL_SMALL, __uuidof(IImageList), reinterpret_cast<void**>(&list))) && list) {
        // The shell keeps the list for the process; the interface is the list's handle.
        const auto images = reinterpret_cast<HIMAGELIST>(list);
        list->Release();
        return images;
    }
    SHFILEINFOA info = {};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

ShellPrefetch::ShellPrefetch(RegistryView localMachineView)
    : localMachineView_(localMachineView), reader_([this] { ReadFolders(); }) {}

ShellPrefetch::~ShellPrefetch() {
    WaitForReading();
}

void ShellPrefetch::ReadFolders() {
    // The shell resolves shortcuts' display names through COM.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
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
    const std::lock_guard<std::mutex> lock(told_);
    read_ = true;
    if (window_)
        PostMessageW(window_, message_, 0, 0);
}

void ShellPrefetch::TellWhenRead(HWND window, UINT message) {
    const std::lock_guard<std::mutex> lock(told_);
    window_ = window;
    message_ = message;
    if (read_)
        PostMessageW(window_, message_, 0, 0);
}

void ShellPrefetch::WaitForReading() {
    if (reader_.joinable())
        reader_.join();
}

StartupFolderListing ShellPrefetch::StartupFolder(int which) {
    WaitForReading();
    if (errors_[which])
        std::rethrow_exception(errors_[which]);
    return std::move(listings_[which]);
}
