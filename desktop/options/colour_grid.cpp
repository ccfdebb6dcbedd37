#include "colour_grid.h"

namespace colourgrid {

const Entry kTable[kColours] = {
    {0x000000, "Black"},        {0x002AA5, "Brown"},          {0x404000, "Dark Olive Green"},
    {0x005500, "Dark Green"},   {0x5E0000, "Dark Teal"},      {0x8B0000, "Dark blue"},
    {0x82004B, "Indigo"},       {0x282828, "Dark grey"},      {0x00008B, "Dark red"},
    {0x2068FF, "Orange"},       {0x008B8B, "Dark yellow"},    {0x009300, "Green"},
    {0x8E8E38, "Teal"},         {0xFF0000, "Blue"},           {0xC07B7B, "Blue-grey"},
    {0x666666, "Grey - 40"},    {0x0000FF, "Red"},            {0x5BADFF, "Light orange"},
    {0x32CD32, "Lime"},         {0x71B33C, "Sea green"},      {0xD4FF7F, "Aqua"},
    {0xC09E7D, "Light blue"},   {0x800080, "Violet"},         {0x7F7F7F, "Grey - 50"},
    {0xCBC0FF, "Pink"},         {0x00D7FF, "Gold"},           {0x00FFFF, "Yellow"},
    {0x00FF00, "Bright green"}, {0xD0E040, "Turquoise"},      {0xFFFFC0, "Skyblue"},
    {0x480048, "Plum"},         {0xC0C0C0, "Light grey"},     {0xE1E4FF, "Rose"},
    {0x8CB4D2, "Tan"},          {0xE0FFFF, "Light yellow"},   {0x98FB98, "Pale green "},
    {0xEEEEAF, "Pale turquoise"}, {0x8B8368, "Pale blue"},    {0xFAE6E6, "Lavender"},
    {0xFFFFFF, "White"},
};

namespace {

bool IsColourCell(int row, int col)
{
    return row >= 0 && col >= 0 && row < kRows && col < kColumns && row * kColumns + col < kColours;
}

// The first box that exists among "More Colours...", "Automatic", else `fallback`.
int CustomElseDefault(Boxes b, int fallback)
{
    return b.hasCustom ? kCustomBox : b.hasDefault ? kDefaultBox : fallback;
}
int DefaultElseCustom(Boxes b, int fallback)
{
    return b.hasDefault ? kDefaultBox : b.hasCustom ? kCustomBox : fallback;
}

}  // namespace

int Move(int current, Key key, Boxes b)
{
    // A cell the popup does not have counts as nothing selected.
    if ((current == kDefaultBox && !b.hasDefault) || (current == kCustomBox && !b.hasCustom) ||
        current < kDefaultBox || current >= kColours)
        current = kNone;
    const int row = current >= 0 ? current / kColumns : current;
    const int col = current >= 0 ? current % kColumns : current;
    switch (key) {
    case Key::Down:
        if (current == kDefaultBox)
            return 0;
        if (current == kCustomBox)
            return b.hasDefault ? kDefaultBox : 0;
        if (IsColourCell(row + 1, col))
            return (row + 1) * kColumns + col;
        return CustomElseDefault(b, 0);
    case Key::Up:
        if (current == kDefaultBox)
            return b.hasCustom ? kCustomBox : kLastCell;
        if (current == kCustomBox)
            return kLastCell;
        if (row >= 1)
            return (row - 1) * kColumns + col;
        return DefaultElseCustom(b, kLastCell);
    case Key::Right: {
        if (current == kDefaultBox)
            return 0;
        if (current == kCustomBox)
            return b.hasDefault ? kDefaultBox : 0;
        if (current == kNone)
            return CustomElseDefault(b, 0);
        const int r = col < kColumns - 1 ? row : row + 1;
        const int c = col < kColumns - 1 ? col + 1 : 0;
        if (IsColourCell(r, c))
            return r * kColumns + c;
        return CustomElseDefault(b, 0);
    }
    case Key::Left:
        if (current == kDefaultBox)
            return b.hasCustom ? kCustomBox : kLastCell;
        if (current == kCustomBox)
            return kLastCell;
        if (col > 0)
            return row * kColumns + col - 1;
        if (row >= 1)
            return (row - 1) * kColumns + kColumns - 1;
        return DefaultElseCustom(b, kLastCell);
    }
    return current;
}

int ChosenCell(Colour colour, Boxes b)
{
    if (colour == kAutomatic && b.hasDefault)
        return kDefaultBox;
    for (int i = 0; i < kColours; ++i)
        if (kTable[i].colour == colour)
            return i;
    return b.hasCustom ? kCustomBox : kNone;
}

}  // namespace colourgrid
