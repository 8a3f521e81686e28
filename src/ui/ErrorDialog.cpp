#include "ErrorDialog.h"

#include "ErrorText.h"

namespace {
std::string ModulePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
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
    MessageBoxA(GetActiveWindow(), ErrorDialogText(message).c_str(), ProgramTitle(ModulePath()).c_str(),
                MB_OK | MB_ICONSTOP);
}
