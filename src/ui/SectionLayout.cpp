#include "SectionLayout.h"

int FilledSectionHeight(SectionKind kind, int textHeight, int count) {
    switch (kind) {
    case SectionKind::BootFile:
    case SectionKind::IniList:
        return (count + 1) * textHeight + 21;
    case SectionKind::StartupFolder:
        return textHeight * (count + 1) + 42;
    case SectionKind::RegistryKey:
        return (textHeight + 4) * (count + 1) + 42;
    }
    return 0;
}

bool SectionIsEmpty(SectionKind kind, int count, bool opened) {
    if (kind == SectionKind::BootFile)
        return !opened;
    return count == 0;
}

std::vector<int> StackTops(const std::vector<StackedSection>& sections, int top) {
    std::vector<int> tops;
    tops.reserve(sections.size() + 1);
    for (const auto& section : sections) {
        tops.push_back(top);
        if (section.visible)
            top += section.height;
    }
    tops.push_back(top);
    return tops;
}
