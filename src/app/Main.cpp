// Dawnroll: one window that shows where programs start automatically and switches them off
// and on.
#include "../ui/Dawnroll.h"
#include "../ui/ErrorDialog.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // The shell's display names and icons of shortcuts come through COM.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    int exitCode = 1;
    DeliverEvent([&] {
        TFormDawnroll form;
        form.BecomeMainForm();
        form.LetStartupFoldersFollow();
        form.LetSectionsOutOfSightFollow();
        ShowWindow(form.Create(), showCommand);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        exitCode = static_cast<int>(message.wParam);
    });
    if (SUCCEEDED(com))
        CoUninitialize();
    return exitCode;
}
