#include "CheckMarkPainter.h"

#include <uxtheme.h>
#include <vsstyle.h>

namespace {
// The few calls of uxtheme.dll, found at run time; all null where the library is missing.
class ThemeLibrary {
  public:
    ThemeLibrary() {
        // Only the system's own copy, never one beside the program.
        library_ = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!library_ && GetLastError() == ERROR_INVALID_PARAMETER) // a system without that search
            library_ = LoadLibraryW(L"uxtheme.dll");
        if (!library_)
            return;
        open = Find<decltype(&OpenThemeData)>("OpenThemeData");
        close = Find<decltype(&CloseThemeData)>("CloseThemeData");
        draw = Find<decltype(&DrawThemeBackground)>("DrawThemeBackground");
        if (!open || !close || !draw)
            open = nullptr;
    }
    ~ThemeLibrary() {
        if (library_)
            FreeLibrary(library_);
    }
    ThemeLibrary(const ThemeLibrary&) = delete;
    ThemeLibrary& operator=(const ThemeLibrary&) = delete;

    static const ThemeLibrary& Get() {
        static const ThemeLibrary library;
        return library;
    }

    decltype(&OpenThemeData) open = nullptr;
    decltype(&CloseThemeData) close = nullptr;
    decltype(&DrawThemeBackground) draw = nullptr;

  private:
    template <typename Call> Call Find(const char* name) const {
        // Through the plain function pointer type, which any function's pointer may pass.
        return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(library_, name)));
    }

    HMODULE library_ = nullptr;
};
} // namespace

CheckMarkPainter::~CheckMarkPainter() {
    Close();
}

void CheckMarkPainter::Open(HWND window) {
    Close();
    const ThemeLibrary& library = ThemeLibrary::Get();
    // No theme data while no visual style is active, or the program's are switched off.
    if (library.open)
        theme_ = library.open(window, L"BUTTON");
}

void CheckMarkPainter::Close() {
    if (theme_) {
        ThemeLibrary::Get().close(theme_);
        theme_ = nullptr;
    }
}

void CheckMarkPainter::Draw(HDC dc, const RECT& box, bool checked) const {
    if (theme_ && SUCCEEDED(ThemeLibrary::Get().draw(theme_, dc, BP_CHECKBOX,
                                                     checked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL, &box, nullptr)))
        return;
    // The classic check box: its face in the window colour, its frame and mark in the system's
    // colours for them.
    RECT frame = box;
    DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
}
