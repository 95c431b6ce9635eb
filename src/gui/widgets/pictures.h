#pragma once

#include "link/lamp.h"

#include <QIcon>
#include <QPixmap>

// The program's own pictures, from its resources.
namespace Pictures {
constexpr int kToolbarCount = 29;

// Tool-bar pictures by index.
enum Toolbar {
    Cut = 0,
    Copy = 1,
    Paste = 2,
    NewFile = 6,
    OpenFile = 7,
    SaveFile = 8,
    ParameterPage = 15,
    PhonePage = 16,
    EventsPage = 18,
    LedRed = Lamp::Red,
    LedGreen = Lamp::Green,
    LedGrey = Lamp::Grey,
    RfidPage = 27,
};

// Makes the pictures available under ":/ostikit/" (done by every function here).
void ensureLoaded();

QIcon toolbar(int index);
QIcon windowIcon();
QPixmap aboutPicture();
// The link animation: a strip of frames side by side.
QPixmap clip(const QString &name);
// A transfer picture (1 to 3), decoded from its JPEG.
QPixmap transfer(int number);
} // namespace Pictures
