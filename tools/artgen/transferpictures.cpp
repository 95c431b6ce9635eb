#include "transferpictures.h"

#include "doorpanel.h"
#include "palette.h"
#include "pixelkit.h"

#include <QLinearGradient>

using namespace px;

namespace transferpictures {
namespace {

constexpr int trackY = 34;
constexpr int trackLeft = 84;
constexpr int trackRight = 204;

void drawBackground(QPainter &p)
{
    QLinearGradient g(0, 0, 0, height);
    g.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    g.setColorAt(1.0, QColor(0xe8, 0xef, 0xf6));
    p.fillRect(QRect(0, 0, width, height), g);
}

void drawComputer(QPainter &p, bool busy)
{
    Smooth s(p);
    // Stand and foot.
    p.setPen(QPen(pal::ink, 1.0));
    p.setBrush(pal::metal);
    p.drawPolygon(QPolygonF({{38.5, 49.5}, {50.5, 49.5}, {53.5, 57.5}, {35.5, 57.5}}));
    p.drawRoundedRect(QRectF(24.5, 57.5, 40.0, 5.0), 2.0, 2.0);
    // Monitor bezel.
    p.setBrush(QColor(0x46, 0x52, 0x5f));
    p.drawRoundedRect(QRectF(8.5, 5.5, 72.0, 45.0), 3.0, 3.0);
    // Screen with a small table, like the phone list.
    const QRect screen(13, 10, 63, 35);
    QLinearGradient g(screen.topLeft(), screen.bottomRight());
    g.setColorAt(0.0, QColor(0x4f, 0x8e, 0xd8));
    g.setColorAt(1.0, QColor(0x22, 0x55, 0xa0));
    p.setPen(Qt::NoPen);
    p.fillRect(screen, g);
    p.setRenderHint(QPainter::Antialiasing, false);
    fill(p, 16, 13, 72, 16, QColor(0xd7, 0xe6, 0xf8));
    for (int row = 0; row < 5; ++row) {
        const int y = 19 + row * 5;
        fill(p, 16, y, 72, y + 3, row % 2 ? QColor(0xb9, 0xd2, 0xf0) : pal::paper);
        vline(p, 38, y, y + 3, pal::textLine);
        vline(p, 56, y, y + 3, pal::textLine);
        hline(p, 18, 18 + 6 + (row * 5) % 11, y + 1, pal::textLine);
        hline(p, 40, 40 + 5 + (row * 3) % 9, y + 1, pal::textLine);
        hline(p, 58, 58 + 4 + (row * 7) % 9, y + 1, pal::textLine);
    }
    // Power lamp on the bezel lights when the reply is in.
    fill(p, 74, 47, 76, 48, busy ? QColor(0x3c, 0xe0, 0x48) : QColor(0x7d, 0x88, 0x92));
    // Keyboard.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(pal::ink, 1.0));
    p.setBrush(pal::metalLight);
    p.drawRoundedRect(QRectF(6.5, 64.5, 76.0, 6.0), 1.5, 1.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int x = 10; x <= 78; x += 4)
        fill(p, x, 66, x + 2, 67, pal::metal);
    fill(p, 26, 69, 62, 69, pal::metal);
}

void drawTrack(QPainter &p)
{
    // The cable, then its dotted signal path.
    fill(p, 81, trackY + 6, 211, trackY + 7, QColor(0xa9, 0xb4, 0xbf));
    for (int x = trackLeft; x <= trackRight; x += 6)
        fill(p, x, trackY - 1, x + 2, trackY + 1, QColor(0xc4, 0xd3, 0xe2));
}

void drawPacket(QPainter &p, int centreX)
{
    const QRectF body(centreX - 13.5, trackY - 9.5, 27.0, 19.0);
    {
        Smooth s(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x2a, 0x36, 40));
        p.drawRoundedRect(body.translated(1.5, 2.0), 3.0, 3.0);
        QLinearGradient g(body.topLeft(), body.bottomLeft());
        g.setColorAt(0.0, QColor(0xff, 0xb5, 0x5c));
        g.setColorAt(1.0, pal::orange);
        p.setPen(QPen(pal::orangeDark, 1.0));
        p.setBrush(g);
        p.drawRoundedRect(body, 3.0, 3.0);
    }
    // Bits: two rows of ones and zeros drawn as bars and rings.
    const int x0 = centreX - 10;
    for (int row = 0; row < 2; ++row) {
        const int y = trackY - 6 + row * 7;
        for (int i = 0; i < 5; ++i) {
            const int x = x0 + i * 4 + (row ? 1 : 0);
            const bool one = ((i + row * 2) * 5 + 3) % 3 == 0;
            if (one) {
                vline(p, x + 1, y, y + 4, pal::paper);
            } else {
                frame(p, x, y, x + 2, y + 4, pal::paper);
            }
        }
    }
}

} // namespace

QImage drawPicture(int number)
{
    QImage img(width, height, QImage::Format_RGB32);
    QPainter p(&img);
    drawBackground(p);
    drawTrack(p);
    drawComputer(p, number == 1);
    doorpanel::draw(p, QRect(216, 3, 34, 67), {number == 3});
    const int positions[] = {trackLeft + 14, (trackLeft + trackRight) / 2 + 1, trackRight - 12};
    drawPacket(p, positions[qBound(1, number, 3) - 1]);
    // The window has no frame of its own; a quiet edge keeps it apart
    // from a white desktop.
    frame(p, 0, 0, width - 1, height - 1, QColor(0xa4, 0xb4, 0xc6));
    return img;
}

} // namespace transferpictures
