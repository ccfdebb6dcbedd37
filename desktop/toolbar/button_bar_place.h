// Where a history combo's button bar stands: above, below, left or right of
// the combo, aligned to one end or centred, in the parent's coordinates.
#pragma once

struct BarBox {
    int left, top, right, bottom;
};

struct BarPlace {
    bool shown;
    int x, y;
};

// position 1 (or a bar without buttons) hides the bar. The bar's borders
// count on the side facing the combo only when placement is zero; the
// aligned ends always allow for the border on their side.
BarPlace ButtonBarOrigin(int position, bool placement, bool hasButtons, const BarBox& combo, int barWidth,
                         int barHeight, const BarBox& borders);
