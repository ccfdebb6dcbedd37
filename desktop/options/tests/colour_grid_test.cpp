// The palette's keyboard moves and its opening cell, as tables.
#include "colour_grid.h"

#include <gtest/gtest.h>

using namespace colourgrid;

namespace {
const char* KeyName(Key k)
{
    switch (k) {
    case Key::Up: return "Up";
    case Key::Down: return "Down";
    case Key::Left: return "Left";
    case Key::Right: return "Right";
    }
    return "?";
}
}  // namespace

TEST(ColourGrid, KeyMoves)
{
    const Boxes both{true, true}, gridOnly{false, false}, defaultOnly{true, false}, customOnly{false, true};
    struct Case {
        int from;
        Key key;
        Boxes boxes;
        int to;
    } cases[] = {
        // Nothing selected (a colour not in the table).
        {kNone, Key::Down, both, kCustomBox},
        {kNone, Key::Right, both, kCustomBox},
        {kNone, Key::Up, both, kDefaultBox},
        {kNone, Key::Left, both, kDefaultBox},
        {kNone, Key::Down, gridOnly, 0},
        {kNone, Key::Up, gridOnly, kLastCell},
        // Inside the grid.
        {7, Key::Right, both, 8},
        {8, Key::Left, both, 7},
        {0, Key::Down, both, 8},
        {9, Key::Up, both, 1},
        {35, Key::Down, both, kCustomBox},
        {35, Key::Down, defaultOnly, kDefaultBox},
        {35, Key::Down, gridOnly, 0},
        {kLastCell, Key::Right, both, kCustomBox},
        {kLastCell, Key::Right, gridOnly, 0},
        {3, Key::Up, both, kDefaultBox},
        {3, Key::Up, customOnly, kCustomBox},
        {3, Key::Up, gridOnly, kLastCell},
        {0, Key::Left, both, kDefaultBox},
        {0, Key::Left, gridOnly, kLastCell},
        // From the boxes.
        {kDefaultBox, Key::Down, both, 0},
        {kDefaultBox, Key::Right, both, 0},
        {kDefaultBox, Key::Up, both, kCustomBox},
        {kDefaultBox, Key::Up, defaultOnly, kLastCell},
        {kDefaultBox, Key::Left, both, kCustomBox},
        {kCustomBox, Key::Down, both, kDefaultBox},
        {kCustomBox, Key::Down, customOnly, 0},
        {kCustomBox, Key::Right, both, kDefaultBox},
        {kCustomBox, Key::Up, both, kLastCell},
        {kCustomBox, Key::Left, both, kLastCell},
        // A box the popup does not have counts as nothing selected.
        {kCustomBox, Key::Down, defaultOnly, kDefaultBox},
        // Out-of-range cells count as nothing selected too.
        {kColours, Key::Down, gridOnly, 0},
        {-7, Key::Up, gridOnly, kLastCell},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Move(c.from, c.key, c.boxes), c.to)
            << "from " << c.from << " " << KeyName(c.key) << " (default " << c.boxes.hasDefault << ", custom "
            << c.boxes.hasCustom << ")";
}

TEST(ColourGrid, OpeningCell)
{
    const Boxes both{true, true}, gridOnly{false, false};
    struct Case {
        Colour colour;
        Boxes boxes;
        int cell;
    } cases[] = {
        {kAutomatic, both, kDefaultBox},
        {kAutomatic, gridOnly, kNone},
        {0x000000, both, 0},
        {0x002AA5, both, 1},
        {0xFFFFFF, both, kLastCell},
        {0x123456, both, kCustomBox},
        {0x123456, gridOnly, kNone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChosenCell(c.colour, c.boxes), c.cell) << std::hex << c.colour;
    EXPECT_STREQ(kTable[23].name, "Grey - 50");
    EXPECT_EQ(kTable[9].colour, 0x2068FFu);
}
