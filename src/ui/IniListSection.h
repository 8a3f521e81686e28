// Sections 3 and 4: the programs of the Load or Run entry of WIN.INI's [Windows] section. The
// section keeps the entry as it last read or wrote it, and the file it came from.
#pragma once

#include "CheckListSection.h"

#include <functional>
#include <string>
#include <vector>

class IniListSection : public CheckListSection {
  public:
    // The profile file is asked for anew at every load (the Windows folder's WIN.INI).
    IniListSection(SectionHost& host, const layout::SectionDesign& design, std::wstring key,
                   std::function<std::wstring()> profileFile)
        : CheckListSection(host, design), key_(std::move(key)), profileFile_(std::move(profileFile)) {}

    // Shows another entry of another file from the next load on.
    void PointAt(std::wstring key, std::wstring profileFile);
    // The file the entries shown came from.
    const std::wstring& ProfileFile() const { return loadedFile_; }

    void Load() override { LoadIniList(); }
    void LoadIniList();
    // Rewrites the entry from the checked lines, in list order.
    void WinIniClickCheck();

  private:
    void OnClickCheck() override { WinIniClickCheck(); }
    bool SourceHoldsCopy() const override;
    void ShowCopy() override;
    std::string ChangedElsewhere(bool nothingWritten) const override;

    std::wstring key_;
    std::function<std::wstring()> profileFile_;
    std::wstring loadedFile_;
    std::wstring sourceText_;
    // Each line's mark as the entry last read or written holds it.
    std::vector<bool> written_;
};
