#include "doorpanel.h"

#include "palette.h"
#include "pixelkit.h"

#include <QLinearGradient>

#include <algorithm>
#include <cmath>

using namespace px;

namespace doorpanel {
namespace {

int scaled(double v)
{
    return int(std::lround(v));
}

// Large plates get a 2-pixel edge so the panel still stands out when the
// window manager shrinks the icon.
void drawPlate(QPainter &p, const QRect &a, bool large)
{
    Smooth s(p);
    const qreal radius = std::max(1.5, a.width() / 9.0);
    const qreal edge = large ? 2.0 : 1.0;
    QLinearGradient g(a.left(), 0, a.right(), 0);
    g.setColorAt(0.0, pal::metalLight);
    g.setColorAt(0.6, QColor(0xc8, 0xd0, 0xd8));
    g.setColorAt(1.0, QColor(0x9c, 0xa7, 0xb2));
    p.setPen(QPen(pal::ink, edge));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(a).adjusted(edge / 2, edge / 2, -edge / 2, -edge / 2), radius, radius);
}

// Small panels get engraved slots (a dark line with a light line under
// it); large ones a field of round holes, which reads better as a speaker.
int drawGrille(QPainter &p, int x1, int x2, int top, bool large)
{
    const QColor hole(0x4a, 0x55, 0x61);
    if (!large) {
        int y = top;
        for (int i = 0; i < 3; ++i, y += 2) {
            hline(p, x1, x2, y, hole);
            hline(p, x1, x2, y + 1, pal::paper);
        }
        return y - 1;
    }
    const int pitch = 4;
    const int columns = (x2 - x1 + 1 + 2) / pitch;
    const int left = x1 + (x2 - x1 + 1 - (columns * pitch - 2)) / 2;
    const int rows = 4;
    for (int r = 0; r < rows; ++r) {
        const int y = top + r * pitch;
        // Every other row shifted half a pitch, like a punched grille.
        const int shift = r % 2 ? pitch / 2 : 0;
        for (int c = 0; c < columns - (r % 2); ++c) {
            const int x = left + shift + c * pitch;
            fill(p, x, y, x + 1, y + 1, hole);
            hline(p, x, x + 1, y + 2, pal::paper);
        }
    }
    return top + (rows - 1) * pitch + 2;
}

void drawLamp(QPainter &p, int x, int y, int size, bool lit)
{
    const QColor on(0x3c, 0xe0, 0x48);
    const QColor off(0x7d, 0x88, 0x92);
    if (size <= 1) {
        dot(p, x, y, lit ? on : off);
        return;
    }
    Smooth s(p);
    p.setPen(QPen(pal::ink, 0.8));
    p.setBrush(lit ? on : off);
    p.drawEllipse(QRectF(x, y, size, size).adjusted(0.4, 0.4, -0.4, -0.4));
    if (lit && size >= 3) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 200));
        p.drawEllipse(QRectF(x + size * 0.25, y + size * 0.2, size * 0.3, size * 0.25));
    }
}

void drawDisplay(QPainter &p, int x1, int x2, int top, int height)
{
    box(p, x1, top, x2, top + height - 1, pal::ink, pal::lcd);
    if (height < 6)
        return;
    // Two lines of "text": short bars with gaps, like characters.
    const int lines = 2;
    const int lineH = std::max(1, (height - 2) / 5);
    for (int l = 0; l < lines; ++l) {
        const int y = top + 1 + scaled((height - 2) * (l + 1) / 3.0) - lineH / 2 - (lineH > 1 ? 1 : 0);
        int x = x1 + 2;
        const int right = x2 - 2 - (l == 1 ? (x2 - x1) / 3 : 0);
        int n = 0;
        while (x < right) {
            const int len = std::min(right - x, 2 + (n * 7 + l * 3) % 3);
            fill(p, x, y, x + len - 1, y + lineH - 1, pal::lcdText);
            x += len + 1;
            ++n;
        }
    }
}

void drawKeypad(QPainter &p, int x1, int x2, int top, int bottom)
{
    const int width = x2 - x1 + 1;
    const int height = bottom - top + 1;
    const int gap = std::max(1, scaled(width / 16.0));
    const int kw = (width - 2 * gap) / 3;
    const int kh = (height - 3 * gap) / 4;
    const int left = x1 + (width - (3 * kw + 2 * gap)) / 2;
    const int upper = top + (height - (4 * kh + 3 * gap)) / 2;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col) {
            const int kx = left + col * (kw + gap);
            const int ky = upper + row * (kh + gap);
            if (kw >= 3 && kh >= 3) {
                box(p, kx, ky, kx + kw - 1, ky + kh - 1, pal::ink, pal::paper);
                hline(p, kx + 1, kx + kw - 2, ky + kh - 2, pal::paperShade);
                if (kw >= 5 && kh >= 5)
                    fill(p, kx + kw / 2 - (kw % 2 ? 0 : 1), ky + kh / 2 - 1,
                         kx + kw / 2, ky + kh / 2 - (kh >= 7 ? 0 : 1), pal::ink);
            } else {
                fill(p, kx, ky, kx + kw - 1, ky + kh - 1, pal::metalDark);
            }
        }
    }
}

} // namespace

void draw(QPainter &p, const QRect &area, const Look &look)
{
    const int w = area.width();
    const int h = area.height();
    const bool large = h >= 48;
    drawPlate(p, area, large);

    const int margin = std::max(2, scaled(w * 0.14));
    const int x1 = area.left() + margin;
    const int x2 = area.right() - margin;
    const int gap = std::max(1, scaled(h * 0.035));

    // Lamp at the top right, grille to its left.
    const int lampSize = large ? std::max(4, scaled(w * 0.13)) : std::max(1, scaled(w * 0.1));
    int y = area.top() + margin;
    drawLamp(p, x2 - lampSize + 1, y, lampSize, look.lampLit);
    const int grilleBottom = drawGrille(p, x1, x2 - lampSize - gap - 1, y, large);
    y = std::max(grilleBottom, y + lampSize - 1) + gap + 1;

    const int displayH = std::max(3, scaled(h * 0.14));
    drawDisplay(p, x1, x2, y, displayH);
    y += displayH + gap;

    drawKeypad(p, x1, x2, y, area.bottom() - margin);
}

} // namespace doorpanel
