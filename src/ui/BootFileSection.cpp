// Sections 1 and 2: the lines of the boot batch files, each checked unless it begins with "REM ".
#include "Dawnroll.h"

#include "../sources/AppError.h"
#include "../sources/BootFile.h"
#include "../sources/BootFileText.h"

void TFormDawnroll::LoadBootFile(Section& box, CheckListBox& list, const std::string& path) {
    LoadSection(box, [&] {
        box.SetTitle(path);
        list.Clear();
        list.SetSourceText({});
        auto contents = ReadBootFile(path);
        if (!contents)
            return SectionContents{0, false};
        std::vector<bool> marks;
        marks.reserve(contents->lines.size());
        for (const auto& line : contents->lines)
            marks.push_back(!HasCommentMarker(line));
        list.Append(contents->lines, marks);
        list.SetSourceText(std::move(contents->bytes));
        return SectionContents{list.Count()};
    });
}

// Rewrites the file named by the section's title from the list: "REM " in front of every
// unchecked line, taken away from every checked one. The list's lines are the file as the
// section last read or wrote it; when another program has changed the file since, nothing is
// written, the section shows the file as it now is, and the user is told.
void TFormDawnroll::BootFileClickCheck(CheckListBox& list) {
    Section& box = SectionHolding(list.Handle());
    const std::string path = box.Title();
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(ToggledBootLine(list.Line(i), list.Checked(i)));
    std::string bytes = WriteBootLines(lines);
    switch (RewriteTextFile(path, bytes, list.SourceText())) {
    case RewriteResult::Changed:
        LoadBootFile(box, list, path);
        throw AppError(path + " was changed by another program; it has been read again and nothing was written");
    case RewriteResult::Written:
        break;
    }
    // The list holds the file's text as it now stands.
    for (int i = 0; i < list.Count(); ++i)
        list.SetLine(i, std::move(lines[static_cast<std::size_t>(i)]));
    list.SetSourceText(std::move(bytes));
}
