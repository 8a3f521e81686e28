#include "BootFileSection.h"

#include "../sources/AppError.h"
#include "../sources/BootFile.h"
#include "../sources/BootFileText.h"
#include "../sources/WideText.h"

namespace {
std::vector<std::wstring> ShownLines(const std::vector<std::string>& lines) {
    std::vector<std::wstring> shown;
    shown.reserve(lines.size());
    for (const auto& line : lines)
        shown.push_back(WideOfAnsi(line));
    return shown;
}
} // namespace

void BootFileSection::LoadBootFile() {
    LoadSection([&] {
        SetTitle(path_);
        List().Clear();
        lines_.clear();
        sourceText_.clear();
        auto contents = ReadBootFile(path_);
        if (!contents)
            return SectionContents{0, false};
        std::vector<bool> marks;
        marks.reserve(contents->lines.size());
        for (const auto& line : contents->lines)
            marks.push_back(!HasCommentMarker(line));
        // A file that is not text of bytes (UTF-16, NUL bytes) shows its lines; it is never rewritten.
        List().Append(contents->shownOnly ? contents->wideLines : ShownLines(contents->lines), marks);
        lines_ = std::move(contents->lines);
        sourceText_ = std::move(contents->bytes);
        return SectionContents{List().Count()};
    });
}

// The section's lines are the file as it last read or wrote it; when another program has changed
// the file since, nothing is written, the section shows the file as it now is, and the user is
// told. A rewrite that is not made sets the marks back to what the file says, and is told.
void BootFileSection::BootFileClickCheck() {
    CheckListBox& list = List();
    std::vector<std::string> lines;
    lines.reserve(lines_.size());
    for (std::size_t i = 0; i < lines_.size(); ++i)
        lines.push_back(ToggledBootLine(lines_[i], list.Checked(static_cast<int>(i))));
    std::string bytes = WriteBootLines(lines);
    RewriteResult result = RewriteResult::Written;
    try {
        result = RewriteTextFile(path_, bytes, sourceText_);
    } catch (const std::exception& error) {
        std::string changed;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const int index = static_cast<int>(i);
            const bool asItIs = !HasCommentMarker(lines_[i]);
            if (list.Checked(index) != asItIs && changed.empty())
                changed = "\"" + Utf8Of(list.WideLine(index)) + "\" in " + Utf8Of(WideOfAnsi(path_)) + " was not " +
                          (asItIs ? "switched off" : "switched on");
            list.SetChecked(index, asItIs);
        }
        if (dynamic_cast<const ChangeRefused*>(&error) && !changed.empty())
            throw AppError(changed + ": " + error.what());
        throw;
    }
    if (result == RewriteResult::Changed) {
        LoadBootFile();
        throw AppError(path_ + " was changed by another program; it has been read again and nothing was written");
    }
    // The section holds the file's text as it now stands.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != lines_[i])
            list.SetLine(static_cast<int>(i), WideOfAnsi(lines[i]));
    }
    lines_ = std::move(lines);
    sourceText_ = std::move(bytes);
}
