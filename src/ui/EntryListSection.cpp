#include "EntryListSection.h"

#include "../sources/AppError.h"

void EntryListSection::ShowMark(int row, bool checked) {
    quiet_ = true;
    list_.SetChecked(row, checked);
    quiet_ = false;
}

void EntryListSection::RethrowNamed(const std::string& what) {
    try {
        throw;
    } catch (const ChangeRefused& refused) {
        throw AppError(what + ": " + refused.what());
    }
}

void EntryListSection::CreateList(const RECT& place, HFONT font) {
    list_.Create(Handle(), place, Design().listId, font);
    list_.DesignColumns(Design().columnsFitHeaders);
}

LRESULT EntryListSection::OnListNotify(const NMHDR& header) {
    switch (header.code) {
    case NM_SETFOCUS:
        Host().ListFocused(list_.Handle());
        return 0;
    case LVN_ITEMCHANGED: {
        const auto& report = reinterpret_cast<const NMLISTVIEW&>(header);
        if (report.iItem >= 0 && (report.uChanged & LVIF_STATE) && (report.uNewState & LVIS_FOCUSED) &&
            !(report.uOldState & LVIS_FOCUSED)) {
            RECT bounds = {};
            bounds.left = LVIR_BOUNDS;
            if (SendMessageW(list_.Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(report.iItem),
                             reinterpret_cast<LPARAM>(&bounds)))
                Host().ShowCurrentRow(list_.Handle(), bounds);
        }
        int row = 0;
        RowChange change;
        if (!quiet_ && ReadRowChange(report, &row, &change))
            OnRowChange(row, change);
        return 0;
    }
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW:
        // An edit changes the row's caption only; a cancelled edit has no text.
        return reinterpret_cast<const NMLVDISPINFOW&>(header).item.pszText != nullptr;
    default:
        return 0;
    }
}
