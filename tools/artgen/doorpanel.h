#pragma once

#include <QPainter>
#include <QRect>

// The Ostiarin seen from the street: a steel plate with a speaker grille,
// a two-line display and a 3 x 4 keypad. Drawn at any size from about
// 12 x 24 pixels up; details are chosen to stay on whole pixels.
namespace doorpanel {

struct Look
{
    bool lampLit = false;   // the small status lamp beside the grille
};

void draw(QPainter &p, const QRect &area, const Look &look = {});

} // namespace doorpanel
