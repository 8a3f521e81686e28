#include "SectionLayout.h"

#include <algorithm>

int ScaledPixels(int designed, int dpi) {
    const long long product = static_cast<long long>(designed) * dpi;
    const long long half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
}

int FontHeightForPoints(int points, int dpi) {
    // Points are 1/72 inch.
    return -static_cast<int>((static_cast<long long>(points) * dpi + 36) / 72);
}

int FilledSectionHeight(SectionKind kind, int textHeight, int count, int dpi) {
    switch (kind) {
    case SectionKind::BootFile:
    case SectionKind::IniList:
        return (count + 1) * textHeight + ScaledPixels(21, dpi);
    case SectionKind::StartupFolder:
        return textHeight * (count + 1) + ScaledPixels(42, dpi);
    case SectionKind::RegistryKey:
        return (textHeight + ScaledPixels(4, dpi)) * (count + 1) + ScaledPixels(42, dpi);
    }
    return 0;
}

int SectionHeightShowingRows(int ruleHeight, const ListMetrics& list, int count, int dpi) {
    const long long rows = static_cast<long long>(list.row) * std::max(0, count);
    const long long needed = ScaledPixels(kListInsetTop, dpi) + ScaledPixels(kListInsetBottom, dpi) + list.frame +
                             list.header + rows + list.scrollBar;
    if (needed <= ruleHeight)
        return ruleHeight;
    return static_cast<int>(std::min<long long>(needed, 0x7FFFFFFF));
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

int ScrollPositionShowing(int position, int page, int top, int bottom) {
    if (top < position || bottom - top > page)
        return top;
    if (bottom > position + page)
        return bottom - page;
    return position;
}

int WheelScroll::Turn(int delta, int linesPerNotch, int linePixels, int pagePixels) {
    // A turn the other way starts afresh instead of first undoing what is left over.
    if ((delta > 0 && pending_ < 0) || (delta < 0 && pending_ > 0))
        pending_ = 0;
    pending_ += delta;
    if (linesPerNotch == 0)
        return 0;
    const bool screens = linesPerNotch == kWheelScreen || linesPerNotch < 0;
    const int units = screens ? 1 : linesPerNotch;
    const int unitPixels = screens ? pagePixels : linePixels;
    // Whole lines (or screens) the deltas so far make; what is left waits for the next turn.
    const long long whole = static_cast<long long>(pending_) * units / kNotch;
    pending_ -= static_cast<int>(whole * kNotch / units);
    return static_cast<int>(-whole * unitPixels);
}
