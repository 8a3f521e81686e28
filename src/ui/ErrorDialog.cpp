#include "ErrorDialog.h"

#include "ErrorText.h"

#include "../sources/WideText.h"

namespace {
std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
} // namespace

void ShowErrorDialog(const std::string& message) {
    // Owned by the active window of this thread, if any: at start the dialog comes before the
    // main window is shown.
    // The message is UTF-8 and shown as wide text, so that a value or a path is named exactly.
    MessageBoxW(GetActiveWindow(), WideOfMessage(ErrorDialogText(message)).c_str(),
                WideOfUtf8(ProgramTitle(Utf8Of(ModulePath()))).c_str(), MB_OK | MB_ICONSTOP);
}
