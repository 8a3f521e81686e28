// What a section asks of the list it holds, whatever its kind: the measures the height rule
// needs to show every row whole.
#pragma once

#include "Control.h"
#include "SectionLayout.h"

class SectionList : public Control {
  public:
    // What the list measures for showing `count` rows at `width` (its outer width): its frame,
    // header, rows and a horizontal scroll bar when it shows one at that width.
    virtual ListMetrics Measure(int count, int width) const = 0;
    // The system's colours changed, which only top-level windows are told: the list takes them.
    virtual void FollowSystemColours();

  protected:
    SectionList() = default;
    ~SectionList() = default;
    // The size of the list's frame: left and right together, top and bottom together.
    SIZE Frame() const;
};
