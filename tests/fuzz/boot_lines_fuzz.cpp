// Fuzzes the boot-file line rules (bytes and UTF-16 units), the program-list rules and the exact
// form of paths: whatever the bytes, reading, writing and reading again gives the same lines,
// toggles and splits stay consistent, and a path made exact stays as it is.
#include "sources/BootFileText.h"
#include "sources/FilePathText.h"
#include "sources/IniListText.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto lines = ReadBootLines(text);
    if (ReadBootLines(WriteBootLines(lines)) != lines)
        std::abort();
    for (const auto& line : lines) {
        // Switching a line off and on again gives back the line without its marker.
        const auto off = ToggledBootLine(line, false);
        if (!HasCommentMarker(off))
            std::abort();
        const auto on = ToggledBootLine(off, true);
        if (HasCommentMarker(line) ? on != line.substr(4) : on != line)
            std::abort();
    }

    // Whatever the bytes, read as UTF-16: no line holds a line end or Ctrl-Z, and the lines
    // written back as UTF-16 with carriage returns and line feeds read the same again.
    const auto wideLines = ReadUtf16BootLines(text);
    std::string again = "\xFF\xFE";
    for (const auto& line : wideLines) {
        if (line.find(L'\r') != std::wstring::npos || line.find(wchar_t(26)) != std::wstring::npos)
            std::abort();
        for (const wchar_t unit : line + L"\r\n") {
            again += static_cast<char>(unit & 0xFF);
            again += static_cast<char>((unit >> 8) & 0xFF);
        }
    }
    if (ReadUtf16BootLines(again) != wideLines)
        std::abort();

    // The exact form of a path is a fixed point.
    const std::wstring path(text.begin(), text.end());
    const std::wstring exact = ExactPath(path);
    if (ExactPath(exact) != exact)
        std::abort();
    NameNeedsExactPath(path);

    // The program lists are wide text: the bytes taken two by two as UTF-16 units.
    std::wstring wide(size / 2, L'\0');
    for (std::size_t i = 0; i < wide.size(); ++i)
        wide[i] = static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const auto programs = SplitProgramList(wide);
    if (SplitProgramList(JoinProgramList(programs)) != programs)
        std::abort();
    for (const auto& program : programs) {
        // A piece is never empty, never holds the separator and never starts or ends blank.
        if (program.empty() || program.find(L';') != std::wstring::npos || program.front() <= L' ' ||
            program.back() <= L' ')
            std::abort();
    }
    return 0;
}
