#include "ShellFolderLooks.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <wrl/client.h>

#include <memory>
#include <utility>

namespace {
using Microsoft::WRL::ComPtr;

struct ItemIdListFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using ItemIdList = std::unique_ptr<ITEMIDLIST, ItemIdListFree>;

std::wstring ParsingName(IShellFolder& folder, PCUITEMID_CHILD child) {
    STRRET name = {};
    wchar_t text[MAX_PATH] = {};
    if (FAILED(folder.GetDisplayNameOf(child, SHGDN_INFOLDER | SHGDN_FORPARSING, &name)) ||
        FAILED(StrRetToBufW(&name, child, text, MAX_PATH)))
        return {};
    return text;
}
} // namespace

std::unordered_map<std::wstring, ShellLook> ShellLooksOfFolder(const std::wstring& folder) {
    std::unordered_map<std::wstring, ShellLook> looks;
    ITEMIDLIST* parsed = nullptr;
    if (FAILED(SHParseDisplayName(folder.c_str(), nullptr, &parsed, 0, nullptr)) || !parsed)
        return looks;
    const ItemIdList folderList(parsed);
    ComPtr<IShellFolder> desktop;
    ComPtr<IShellFolder> shellFolder;
    ComPtr<IEnumIDList> children;
    if (FAILED(SHGetDesktopFolder(desktop.GetAddressOf())) || !desktop ||
        FAILED(desktop->BindToObject(folderList.get(), nullptr, IID_PPV_ARGS(shellFolder.GetAddressOf()))) ||
        !shellFolder ||
        shellFolder->EnumObjects(nullptr, SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN | SHCONTF_INCLUDESUPERHIDDEN,
                                 children.GetAddressOf()) != S_OK ||
        !children)
        return looks;
    ITEMIDLIST* next = nullptr;
    while (children->Next(1, &next, nullptr) == S_OK && next) {
        const ItemIdList child(next);
        std::wstring name = ParsingName(*shellFolder.Get(), child.get());
        const ItemIdList item(ILCombine(folderList.get(), child.get()));
        if (name.empty() || !item)
            continue;
        // The same question as by the file's path, so the same answer: only the lookup is saved.
        SHFILEINFOW info = {};
        if (!SHGetFileInfoW(reinterpret_cast<LPCWSTR>(item.get()), 0, &info, sizeof info, SHGFI_PIDL | kShellLookFlags))
            continue;
        looks.emplace(std::move(name), ShellLook{info.szDisplayName, info.iIcon});
    }
    return looks;
}
