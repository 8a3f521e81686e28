#include "SectionList.h"

SIZE SectionList::Frame() const {
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)) & ~(WS_VSCROLL | WS_HSCROLL),
                       FALSE, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)));
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void SectionList::FollowSystemColours() {
    SendMessageW(Handle(), WM_SYSCOLORCHANGE, 0, 0);
}
