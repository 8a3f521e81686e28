#include "BootFile.h"

#include "BootFileText.h"
#include "TextFile.h"

#include "../ui/CheckListBox.h"
#include "../ui/GdiObjects.h"
#include "../ui/GroupBox.h"
#include "../ui/SectionLayout.h"

void LoadBootFile(GroupBox& box, CheckListBox& list, const std::string& path) {
    box.MakeVisible();
    box.SetTitle(path);
    list.Clear();
    const auto text = ReadTextFile(path);
    if (!text) {
        box.LeaveEmpty();
        return;
    }
    const auto lines = ReadBootLines(*text);
    std::vector<bool> marks;
    marks.reserve(lines.size());
    for (const auto& line : lines)
        marks.push_back(!HasCommentMarker(line));
    list.Append(lines, marks);
    const int lineHeight = TextMeasurer(list.Handle()).LineHeight();
    box.SetHeight(FilledSectionHeight(SectionKind::BootFile, lineHeight, static_cast<int>(lines.size())));
}

void BootFileClickCheck(CheckListBox& list) {
    const std::string path = list.GroupCaption();
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(ToggledBootLine(list.Line(i), list.Checked(i)));
    if (RewriteTextFile(path, WriteBootLines(lines)) != RewriteResult::Written)
        return;
    // The list holds the file's text as it now stands.
    for (int i = 0; i < list.Count(); ++i)
        list.SetLine(i, std::move(lines[static_cast<std::size_t>(i)]));
}
