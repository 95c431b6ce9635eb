#pragma once

#include <QImage>

// The 29 tool-bar pictures, 16 x 16 on a transparent background, by the
// index the main window uses (0 cut, 1 copy, 2 paste, 6 new, 7 open,
// 8 save, 15 settings, 16 telephone, 18 clock, 20-22 LED red/green/grey,
// 27 RFID tag; the rest are spare generic pictures).
namespace toolbar {

constexpr int iconCount = 29;
constexpr int iconSize = 16;

enum Index {
    Cut = 0,
    Copy = 1,
    Paste = 2,
    Undo = 3,
    Redo = 4,
    Find = 5,
    NewFile = 6,
    Open = 7,
    Save = 8,
    Print = 9,
    Help = 10,
    Delete = 11,
    ArrowUp = 12,
    ArrowDown = 13,
    Key = 14,
    Settings = 15,
    Telephone = 16,
    Lock = 17,
    Clock = 18,
    Refresh = 19,
    LedRed = 20,
    LedGreen = 21,
    LedGrey = 22,
    Tick = 23,
    Calendar = 24,
    Person = 25,
    House = 26,
    RfidTag = 27,
    Lightning = 28,
};

QImage drawIcon(int index);

// A short English word for what the picture shows (for the report and the
// output check).
const char *iconRole(int index);

} // namespace toolbar
