#include "CheckListSection.h"

#include "ControlMessages.h"

#include "../sources/AppError.h"

#include <exception>

void CheckListSection::ChangeSource(const std::function<bool()>& change) {
    std::exception_ptr error;
    bool changedElsewhere = false;
    try {
        changedElsewhere = change();
    } catch (...) {
        error = std::current_exception();
    }
    if (changedElsewhere || !SourceHoldsCopy()) {
        const std::string told = ChangedElsewhere(changedElsewhere);
        Load();
        throw AppError(told);
    }
    ShowCopy();
    if (error)
        std::rethrow_exception(error);
}

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
