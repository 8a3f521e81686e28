// Layout rules of the window's sections, free of the platform.
#pragma once

#include <vector>

enum class SectionKind { BootFile, IniList, StartupFolder, RegistryKey };

// The window is designed at 96 dots per inch; every designed pixel size is scaled by the
// system's dots per inch over this.
inline constexpr int kDesignDpi = 96;

// A designed pixel size at `dpi`, to the nearest pixel (halves away from zero).
int ScaledPixels(int designed, int dpi);
// The height of a font of `points` points at `dpi` (negative: the character height), as the
// system's font mapper takes it; 8 points at 96 dots per inch is -11.
int FontHeightForPoints(int points, int dpi);

// Where a section's list lies inside its group box frame, in designed pixels.
inline constexpr int kListInsetLeft = 2;
inline constexpr int kListInsetTop = 15;
inline constexpr int kListInsetRight = 2;
inline constexpr int kListInsetBottom = 2;

// Height of a section holding `count` entries, `textHeight` being the height of "REM" in
// the list's font; the rule's constants are designed pixels, scaled to `dpi`.
int FilledSectionHeight(SectionKind kind, int textHeight, int count, int dpi = kDesignDpi);

// What a list measures for showing its rows: the height of its column header (0 for none),
// of one row, of its frame (top and bottom together) and of a horizontal scroll bar when the
// list shows one (else 0).
struct ListMetrics {
    int header = 0;
    int row = 0;
    int frame = 0;
    int scrollBar = 0;
};

// The height of a section whose list shows `count` rows whole, without scrolling of its own:
// the rule's height when that leaves room enough, else as tall as the rows need.
int SectionHeightShowingRows(int ruleHeight, const ListMetrics& list, int count, int dpi = kDesignDpi);

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

// The scroll position that brings the part [top, bottom) of a stack scrolled to `position` into
// a view `page` pixels high, moving as little as possible; a part taller than the view shows
// its top.
int ScrollPositionShowing(int position, int page, int top, int bottom);

// The mouse wheel: deltas add up until they make whole lines (or whole screens), so that small
// turns of a fine wheel are not lost. `linesPerNotch` is the system's setting; kWheelScreen
// stands for its "one screen at a time".
class WheelScroll {
  public:
    static constexpr int kWheelScreen = -1;
    static constexpr int kNotch = 120;

    // The pixels to scroll by (positive: towards the end of the stack) for one wheel report of
    // `delta` (positive: away from the user), with lines of `linePixels` and a screen of
    // `pagePixels`.
    int Turn(int delta, int linesPerNotch, int linePixels, int pagePixels);

  private:
    int pending_ = 0;
};
