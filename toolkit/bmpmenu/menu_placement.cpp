#include "menu_placement.h"

MenuPoint PlaceTopLevelMenu(const MenuRect& d, int x, int y, int w, int h)
{
    if (x + w < d.right && y + h < d.bottom)
        return {x, y};
    if (x - w > d.left && y + h < d.bottom)
        return {x - w, y};
    if (x + w < d.right && y - h > d.top)
        return {x, y - h};
    if (x - w > d.left && y - h > d.top)
        return {x - w, y - h};
    return {x, y};
}

bool PlaceSubMenu(const MenuRect& d, const MenuRect& r, int w, int h, MenuPoint* at)
{
    if (r.right + w < d.right && r.top + h < d.bottom)
        *at = {r.right, r.top};
    else if (r.right + w < d.right && r.bottom - h > d.top)
        *at = {r.right, r.bottom - h};
    else if (r.left - w > d.left && r.top + h < d.bottom)
        *at = {r.left - w, r.top};
    else if (r.left - w > d.left && r.bottom - h > d.top)
        *at = {r.left - w, r.bottom - h};
    else
        return false;
    return true;
}
