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
    // Deletes the file of an unchecked row for good and removes the row.
    void StartupClickCheck(int row, const RowChange& change);

  private:
    void OnRowChange(int row, const RowChange& change) override { StartupClickCheck(row, change); }

    int which_;
    StartupFolderPlace place_;
};
