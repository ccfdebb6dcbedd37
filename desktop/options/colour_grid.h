// The palette popup's colour table and its keyboard moves, kept apart from the
// window so both builds test them.
#pragma once

#include <cstdint>

namespace colourgrid {

using Colour = std::uint32_t;  // 0x00BBGGRR

// The automatic colour (no explicit colour).
constexpr Colour kAutomatic = 0xFF000000u;

constexpr int kColours = 40;
constexpr int kColumns = 8;
constexpr int kRows = (kColours + kColumns - 1) / kColumns;
constexpr int kLastCell = kColours - 1;

// Cells that are not colours.
constexpr int kNone = -1;
constexpr int kCustomBox = -2;   // "More Colours..."
constexpr int kDefaultBox = -3;  // "Automatic"

struct Entry {
    Colour colour;
    const char* name;
};
extern const Entry kTable[kColours];

enum class Key { Up, Down, Left, Right };

// Which boxes the popup shows besides the grid.
struct Boxes {
    bool hasDefault;
    bool hasCustom;
};

// The selection after a move key from cell `current`.
int Move(int current, Key key, Boxes boxes);

// The cell of the colour the popup opens with.
int ChosenCell(Colour colour, Boxes boxes);

}  // namespace colourgrid
