// Sections 1 and 2: the lines of a boot batch file, each checked unless it begins with "REM ".
// The section keeps the file's lines as bytes (shown through the ANSI code page) and the file's
// bytes as it last read or wrote them.
#pragma once

#include "CheckListSection.h"

#include <string>
#include <vector>

class BootFileSection : public CheckListSection {
  public:
    BootFileSection(SectionHost& host, const layout::SectionDesign& design, std::string path)
        : CheckListSection(host, design), path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    // Shows another file from the next load on.
    void SetPath(std::string path) { path_ = std::move(path); }

    void Load() override { LoadBootFile(); }
    void LoadBootFile();
    // Rewrites the file from the list: "REM " in front of every unchecked line, taken away from
    // every checked one.
    void BootFileClickCheck();

  private:
    void OnClickCheck() override { BootFileClickCheck(); }
    bool SourceHoldsCopy() const override;
    void ShowCopy() override;
    std::string ChangedElsewhere(bool nothingWritten) const override;

    std::string path_;
    std::vector<std::string> lines_;
    std::string sourceText_;
};
