#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>

// Crisp drawing for small pictures: every primitive here covers whole
// pixels, so a 16 x 16 picture stays sharp; anti-aliasing is used only
// where a curve needs it (see Smooth).
namespace px {

// A transparent ARGB32 picture.
QImage blank(int width, int height);

void dot(QPainter &p, int x, int y, const QColor &c);
void hline(QPainter &p, int x1, int x2, int y, const QColor &c);
void vline(QPainter &p, int x, int y1, int y2, const QColor &c);
// Filled rectangle, corners inclusive: (x1,y1) to (x2,y2).
void fill(QPainter &p, int x1, int y1, int x2, int y2, const QColor &c);
// 1-pixel border of the rectangle (x1,y1)-(x2,y2).
void frame(QPainter &p, int x1, int y1, int x2, int y2, const QColor &c);
// Border in `edge`, inside filled with `inside`.
void box(QPainter &p, int x1, int y1, int x2, int y2, const QColor &edge, const QColor &inside);
// Pixel-exact line (Bresenham), both ends included.
void line(QPainter &p, int x1, int y1, int x2, int y2, const QColor &c);

// Puts a 1-pixel outline of colour `ink` around every opaque part of
// `layer` (4-neighbourhood, so corners come out softly rounded) and
// draws the result onto `target` at (0,0).
void stampOutlined(QImage &target, const QImage &layer, const QColor &ink);

// Mirror image; used for pairs such as undo/redo and up/down.
QImage mirrored(const QImage &img, bool horizontal, bool vertical);

// Switches anti-aliasing on for the lifetime of the object.
class Smooth
{
public:
    explicit Smooth(QPainter &p);
    ~Smooth();
    Smooth(const Smooth &) = delete;
    Smooth &operator=(const Smooth &) = delete;

private:
    QPainter &m_p;
    bool m_was;
};

} // namespace px
