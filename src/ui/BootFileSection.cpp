// Sections 1 and 2: the lines of the boot batch files, each checked unless it begins with "REM ".
#include "Dawnroll.h"

#include "../sources/BootFile.h"
#include "../sources/BootFileText.h"

void TFormDawnroll::LoadBootFile(Section& box, CheckListBox& list, const std::string& path) {
    LoadSection(box, [&] {
        box.SetTitle(path);
        list.Clear();
        const auto lines = ReadBootFile(path);
        if (!lines)
            return SectionContents{0, false};
        std::vector<bool> marks;
        marks.reserve(lines->size());
        for (const auto& line : *lines)
            marks.push_back(!HasCommentMarker(line));
        list.Append(*lines, marks);
        return SectionContents{list.Count()};
    });
}

// Rewrites the file named by the section's title from the list: "REM " in front of every
// unchecked line, taken away from every checked one.
void TFormDawnroll::BootFileClickCheck(CheckListBox& list) {
    const std::string path = SectionHolding(list.Handle()).Title();
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(ToggledBootLine(list.Line(i), list.Checked(i)));
    if (WriteBootFile(path, lines) != RewriteResult::Written)
        return;
    // The list holds the file's text as it now stands.
    for (int i = 0; i < list.Count(); ++i)
        list.SetLine(i, std::move(lines[static_cast<std::size_t>(i)]));
}
