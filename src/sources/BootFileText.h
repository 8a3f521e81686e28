// Line rules of the boot batch files (C:\CONFIG.SYS, C:\AUTOEXEC.BAT), free of the platform.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The four characters that switch a line off.
inline constexpr std::string_view kCommentMarker = "REM ";

// Splits a file's bytes into lines. A line ends at a carriage return, with or without a
// following line feed (which goes with it); a lone line feed stays inside its line. The first
// Ctrl-Z (26) ends the text. A last line without a line end counts; a final line end adds no
// empty line; NUL bytes are ordinary characters.
std::vector<std::string> ReadBootLines(std::string_view text);

// A file saved as Unicode (UTF-16) text begins with its byte-order mark: FF FE (little-endian)
// or FE FF (big-endian). Such a file is shown, never rewritten: its lines are not bytes.
enum class Utf16Order { LittleEndian, BigEndian };
std::optional<Utf16Order> Utf16OrderOf(std::string_view bytes);
bool IsUtf16Text(std::string_view bytes);

// Why Dawnroll does not rewrite a file of these bytes; nothing when it does. It rewrites text of
// bytes in the code page. A file with a UTF-16 byte-order mark, or one whose NUL bytes all stand
// at odd places (UTF-16 saved without its mark, little-endian), is Unicode text; any other file
// that holds a NUL byte before its first Ctrl-Z is no text this program rewrites (a binary file
// put in the file's place).
// Both are shown, never rewritten.
enum class UnwrittenText { Utf16, NulBytes };
std::optional<UnwrittenText> WhyNotRewritten(std::string_view bytes);

// What stands for a last byte that makes no whole UTF-16 unit.
inline constexpr wchar_t kReplacementCharacter = 0xFFFD;

// Splits a UTF-16 file's bytes into lines of UTF-16 units (one wchar_t each), by the same rules
// as ReadBootLines applied to units: a carriage return (000D) ends a line, with the line feed
// (000A) right after it; the first Ctrl-Z (001A) ends the text. The byte-order mark is not part
// of the text; bytes without one are read as little-endian units. A last odd byte reads as
// U+FFFD.
std::vector<std::wstring> ReadUtf16BootLines(std::string_view bytes);

// How a line of a file that holds NUL bytes, read as bytes, shows a NUL: U+2400 (SYMBOL FOR
// NULL), since a list's line ends at a zero.
inline constexpr wchar_t kShownNul = 0x2400;

// The bytes of a file made of these lines, each followed by a carriage return and line feed.
std::string WriteBootLines(const std::vector<std::string>& lines);

// True when the line's first four characters, ASCII letters folded to upper case, are "REM ".
bool HasCommentMarker(std::string_view line);

// The line as a toggle writes it: a checked line loses its marker, an unchecked line without
// one gains "REM "; any other line is returned unchanged.
std::string ToggledBootLine(const std::string& line, bool checked);

// The file's name: what follows the last backslash or slash of its path.
std::string_view FileNameOf(std::string_view path);

// Names of the files a rewrite makes for a while: the new text beside the file before it
// takes the file's place, and the backup of the original (beside the file while the system
// replaces it, or in the user's temporary folder while the file is written in place). Both say
// where they came from, so that a user who finds one after a crash knows what it is:
// "CONFIG.SYS.Dawnroll-new-1f.tmp", "CONFIG.SYS.Dawnroll-backup-1f.tmp"; the number tells apart
// the attempts.
std::string RewriteTemporaryName(std::string_view fileName, unsigned number);
std::string RewriteBackupName(std::string_view fileName, unsigned number);
