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
// the file since, nothing is written (ChangeSource). A rewrite that is not made names the first
// line whose mark it would have changed.
void BootFileSection::BootFileClickCheck() {
    ChangeSource([&] {
        CheckListBox& list = List();
        std::vector<std::string> lines;
        lines.reserve(lines_.size());
        for (std::size_t i = 0; i < lines_.size(); ++i)
            lines.push_back(ToggledBootLine(lines_[i], list.Checked(static_cast<int>(i))));
        std::string bytes = WriteBootLines(lines);
        try {
            if (RewriteTextFile(path_, bytes, sourceText_) == RewriteResult::Changed)
                return true;
        } catch (const ChangeRefused& refused) {
            for (std::size_t i = 0; i < lines_.size(); ++i) {
                const int index = static_cast<int>(i);
                const bool asItIs = !HasCommentMarker(lines_[i]);
                if (list.Checked(index) != asItIs)
                    throw AppError("\"" + Utf8Of(list.WideLine(index)) + "\" in " + Utf8Of(WideOfAnsi(path_)) +
                                   " was not " + (asItIs ? "switched off" : "switched on") + ": " + refused.what());
            }
            throw;
        }
        // The section holds the file's text as it now stands.
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] != lines_[i])
                list.SetLine(static_cast<int>(i), WideOfAnsi(lines[i]));
        }
        lines_ = std::move(lines);
        sourceText_ = std::move(bytes);
        return false;
    });
}

bool BootFileSection::SourceHoldsCopy() const {
    const auto now = ReadBootFile(path_);
    return !now || now->bytes == sourceText_;
}

void BootFileSection::ShowCopy() {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        List().SetChecked(static_cast<int>(i), !HasCommentMarker(lines_[i]));
}

std::string BootFileSection::ChangedElsewhere(bool nothingWritten) const {
    return path_ + " was changed by another program; it has been read again" +
           (nothingWritten ? " and nothing was written" : "");
}
