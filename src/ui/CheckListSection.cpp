#include "CheckListSection.h"

#include "ControlMessages.h"

void CheckListSection::CreateList(const RECT& place, HFONT font) {
    list_.Create(Handle(), place, Design().listId, font);
}

void CheckListSection::OnListCommand(WORD code) {
    switch (code) {
    case LBN_SETFOCUS:
        Host().ListFocused(list_.Handle());
        break;
    case LBN_SELCHANGE: {
        const HWND list = list_.Handle();
        RECT row = {};
        const auto caret = SendMessageW(list, LB_GETCARETINDEX, 0, 0);
        if (caret >= 0 &&
            SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(caret), reinterpret_cast<LPARAM>(&row)) != LB_ERR)
            Host().ShowCurrentRow(list, row);
        list_.SelectionChanged();
        break;
    }
    case kClickCheckNotification:
        OnClickCheck();
        break;
    }
}
