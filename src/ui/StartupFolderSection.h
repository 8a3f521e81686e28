// Sections 5 and 6: the files of a Startup folder, with the shell's names and icons. Each row
// carries the path of its file.
#pragma once

#include "EntryListSection.h"

#include "../sources/StartupFolder.h"

#include <functional>

class StartupFolderSection : public EntryListSection {
  public:
    // `which`: 0 for the current user's folder, 1 for the all-users one.
    StartupFolderSection(SectionHost& host, const layout::SectionDesign& design, int which, StartupFolderPlace place)
        : EntryListSection(host, design), which_(which), place_(place) {}

    int Which() const { return which_; }
    void SetSystemImages(HIMAGELIST images) { List().SetSmallImages(images); }

    // Reads the folder anew, or takes the listing the window read ahead at its start.
    void Load() override;
    void LoadStartupFolder();
    // The same with the listing from read; an error of read leaves the section empty, as an
    // error of the reading above does.
    void LoadStartupFolder(const std::function<StartupFolderListing()>& read);
    // Deletes the file of an unchecked row for good and removes the row (ChangeRow).
    void StartupClickCheck(int row, const RowChange& change) { ChangeRow(row, change); }

  private:
    void OnRowChange(int row, const RowChange& change) override { StartupClickCheck(row, change); }
    // A row's record: the path of its file, as the folder was listed.
    struct FileRow : RowRecord {
        std::wstring path;
    };
    static const std::wstring& PathOf(const RowRecord& record) { return static_cast<const FileRow&>(record).path; }

    std::string EntryName(const RowRecord& record) const override;
    std::optional<ApprovalPlace> Approvals() const override { return ApprovalPlaceOf(place_); }
    std::wstring ApprovalName(const RowRecord& record) const override;
    bool Present(const RowRecord& record) const override { return StartupFileExists(PathOf(record)); }
    void DeleteEntry(int row, RowRecord& record) override;
    void RestoreEntry(int row, RowRecord& record) override;

    int which_;
    StartupFolderPlace place_;
};
