#include "button_bar_place.h"

BarPlace ButtonBarOrigin(int position, bool placement, bool hasButtons, const BarBox& combo, int barWidth,
                         int barHeight, const BarBox& borders)
{
    BarPlace place{false, 0, 0};
    if (position < 2 || position > 13 || !hasButtons)
        return place;
    const int edgeLeft = placement ? 0 : borders.left, edgeTop = placement ? 0 : borders.top;
    const int edgeRight = placement ? 0 : borders.right, edgeBottom = placement ? 0 : borders.bottom;
    const int width = combo.right - combo.left, height = combo.bottom - combo.top;
    // Along the combo's side: 0 first end, 1 centre, 2 far end.
    const int along = (position - 2) % 3;
    place.shown = true;
    if (position <= 7) {
        place.y = position <= 4 ? combo.top - barHeight + edgeTop : combo.bottom - edgeBottom;
        if (along == 0)
            place.x = combo.left - borders.left;
        else if (along == 1)
            place.x = combo.left + (width - barWidth) / 2;
        else
            place.x = combo.right - barWidth + borders.right;
    } else {
        place.x = position <= 10 ? combo.left - barWidth + edgeLeft : combo.right - edgeRight;
        if (along == 0)
            place.y = combo.top - borders.top;
        else if (along == 1)
            place.y = combo.top + (height - barHeight) / 2;
        else
            place.y = combo.top + height - barHeight + borders.bottom;
    }
    return place;
}
