// The reference for start-up time: a program that only opens an empty window and runs its
// message loop until the window is closed. Built a second time as bare_window_shell, it
// first does the platform's part of the program's start: the common controls, COM, and the
// shell's system small-icon image list (SHGetFileInfoA on "C:\\"), still with an empty window.
// Built a third time as bare_window_controls, it also fills the window with the controls the
// program shows, made by plain calls with the same classes, styles and font: eleven group boxes
// holding four list boxes and seven report lists with check boxes and two columns, stacked at
// their designed heights, all empty.
#include <windows.h>
#if defined(BARE_WINDOW_WITH_SHELL) || defined(BARE_WINDOW_WITH_CONTROLS)
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#endif

namespace {
LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

#ifdef BARE_WINDOW_WITH_CONTROLS
HWND Child(HWND parent, DWORD extendedStyle, const char* className, DWORD style, int top, int width, int height,
           HFONT font) {
    HWND child = CreateWindowExA(extendedStyle, className, "", WS_CHILD | WS_VISIBLE | style, 0, top, width, height,
                                 parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

void AddControls(HWND window, HIMAGELIST images) {
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right;
    int top = 0;
    for (int section = 0; section < 11; ++section) {
        const bool checkList = section < 4;
        const int height = checkList ? 41 : 57;
        HWND box =
            Child(window, WS_EX_CONTROLPARENT, "BUTTON", WS_CLIPCHILDREN | BS_GROUPBOX, top, width, height, font);
        if (checkList) {
            Child(box, WS_EX_CLIENTEDGE, "LISTBOX",
                  WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 15,
                  width - 4, height - 17, font);
        } else {
            HWND list = Child(box, WS_EX_CLIENTEDGE, WC_LISTVIEWA,
                              WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_EDITLABELS | LVS_SHAREIMAGELISTS, 15,
                              width - 4, height - 17, font);
            SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
            for (int column = 0; column < 2; ++column) {
                LVCOLUMNA format = {};
                format.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
                format.cx = 100;
                format.pszText = const_cast<char*>(column == 0 ? "Displayname" : "Fullname");
                format.iSubItem = column;
                SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&format));
            }
            if (section < 6)
                SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
        }
        top += height;
    }
}
#endif
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
#if defined(BARE_WINDOW_WITH_SHELL) || defined(BARE_WINDOW_WITH_CONTROLS)
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SHFILEINFOA info = {};
    const auto images = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
#endif
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "DawnrollBareWindow";
    if (!RegisterClassExA(&windowClass))
        return 1;
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Bare window", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  instance, nullptr);
    if (!window)
        return 1;
#ifdef BARE_WINDOW_WITH_CONTROLS
    AddControls(window, images);
#elif defined(BARE_WINDOW_WITH_SHELL)
    (void)images;
#endif
    ShowWindow(window, showCommand);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
