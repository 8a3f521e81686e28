#include "ImportPatch.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace {
ULONG_PTR* ImportSlot(const char* module, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), module) != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void* Exchange(ULONG_PTR* slot, void* function) {
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    void* previous = reinterpret_cast<void*>(*slot);
    *slot = reinterpret_cast<ULONG_PTR>(function);
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    FlushInstructionCache(GetCurrentProcess(), slot, sizeof *slot);
    return previous;
}
} // namespace

ImportReplacement::ImportReplacement(const char* module, const char* function, void* replacement)
    : slot_(ImportSlot(module, function)) {
    if (!slot_)
        throw std::runtime_error(std::string("this program does not import ") + module + "!" + function);
    original_ = Exchange(slot_, replacement);
}

ImportReplacement::~ImportReplacement() {
    Exchange(slot_, original_);
}
