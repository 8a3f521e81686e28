// Layout rules of the window's sections, free of the platform.
#pragma once

#include <vector>

enum class SectionKind { BootFile, IniList, StartupFolder, RegistryKey };

// Height of a section holding `count` entries, `textHeight` being the height of "REM" in
// the list's font.
int FilledSectionHeight(SectionKind kind, int textHeight, int count);

// True when a section with `count` entries counts as empty. A boot file counts as empty only
// when it cannot be opened, which the caller knows; for it pass `opened`.
bool SectionIsEmpty(SectionKind kind, int count, bool opened);

struct StackedSection {
    bool visible;
    int height;
};

// Tops of the sections when the visible ones are stacked from `top` without gaps, in order.
// A hidden section gets the top of the next visible one. The last element is the stack's end.
std::vector<int> StackTops(const std::vector<StackedSection>& sections, int top);
