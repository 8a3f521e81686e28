#include "EntryListSection.h"

#include "../sources/AppError.h"

EntryListSection::RowAdder::RowAdder(EntryListSection& section) : section_(section), measure_(section.list_.Handle()) {
    if (const auto place = section.Approvals())
        switchedOff_ = ReadSwitchedOff(*place);
}

void EntryListSection::RowAdder::Add(const std::wstring& caption, const std::wstring& fullname,
                                     std::unique_ptr<RowRecord> record, std::optional<int> image) {
    EntryListView& list = section_.list_;
    record->switchedOff = switchedOff_.count(section_.ApprovalName(*record)) > 0;
    const int row = list.AddRow(caption, !record->switchedOff);
    list.SetFullname(row, fullname);
    if (image)
        list.SetImage(row, *image);
    list.FitColumns(caption, fullname, measure_);
    list.AttachRecord(row, std::move(record));
}

void EntryListSection::ChangeRow(int row, const RowChange& change) {
    RowRecord* record = list_.Record(row);
    if (!record)
        return; // the row is still being filled, or is going
    const bool checked = list_.Checked(row);
    // Only the user's own change of the mark puts an entry back or switches it on: selecting a
    // row or moving the focus writes nothing. An entry the system's switch keeps off is never
    // deleted: the user's check turns the switch on.
    if (checked ? !change.checkChanged : record->switchedOff)
        return;
    if (!change.checkChanged && (!Nameable(*record) || !Present(*record)))
        return; // a selection with nothing to delete asks nothing and tells nothing
    const std::string name = EntryName(*record);
    std::string notMade;
    std::exception_ptr error;
    try {
        if (!checked) {
            notMade = "was not deleted";
            DeleteEntry(row, *record);
        } else {
            if (!record->switchedOff) {
                notMade = "was not written back";
                RestoreEntry(row, *record);
                // A switch the system turned off meanwhile would keep the entry from starting.
                notMade = "was written back but stays switched off";
            } else {
                notMade = "was not switched on";
            }
            if (const auto place = Approvals())
                TurnApprovalOn(*place, ApprovalName(*list_.Record(row)));
        }
    } catch (...) {
        error = std::current_exception();
    }
    try {
        ShowAsItIs(row);
    } catch (...) {
        if (!error)
            throw;
    }
    if (error)
        RethrowNamed(error, name + " " + notMade);
}

void EntryListSection::ShowAsItIs(int row) {
    RowRecord* record = list_.Record(row);
    if (!record)
        return; // the entry is gone, and its row with it
    const bool present = Present(*record);
    const auto place = Approvals();
    record->switchedOff = present && place && SwitchedOffNow(*place, ApprovalName(*record));
    quiet_ = true;
    list_.SetChecked(row, present && !record->switchedOff);
    quiet_ = false;
}

void EntryListSection::RethrowNamed(const std::exception_ptr& error, const std::string& what) {
    try {
        std::rethrow_exception(error);
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
