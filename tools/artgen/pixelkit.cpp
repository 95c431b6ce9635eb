#include "pixelkit.h"

#include <algorithm>
#include <cstdlib>

namespace px {

QImage blank(int width, int height)
{
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void dot(QPainter &p, int x, int y, const QColor &c)
{
    p.fillRect(QRect(x, y, 1, 1), c);
}

void hline(QPainter &p, int x1, int x2, int y, const QColor &c)
{
    if (x2 < x1)
        std::swap(x1, x2);
    p.fillRect(QRect(x1, y, x2 - x1 + 1, 1), c);
}

void vline(QPainter &p, int x, int y1, int y2, const QColor &c)
{
    if (y2 < y1)
        std::swap(y1, y2);
    p.fillRect(QRect(x, y1, 1, y2 - y1 + 1), c);
}

void fill(QPainter &p, int x1, int y1, int x2, int y2, const QColor &c)
{
    p.fillRect(QRect(QPoint(x1, y1), QPoint(x2, y2)), c);
}

void frame(QPainter &p, int x1, int y1, int x2, int y2, const QColor &c)
{
    hline(p, x1, x2, y1, c);
    hline(p, x1, x2, y2, c);
    vline(p, x1, y1, y2, c);
    vline(p, x2, y1, y2, c);
}

void box(QPainter &p, int x1, int y1, int x2, int y2, const QColor &edge, const QColor &inside)
{
    fill(p, x1, y1, x2, y2, inside);
    frame(p, x1, y1, x2, y2, edge);
}

void line(QPainter &p, int x1, int y1, int x2, int y2, const QColor &c)
{
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        dot(p, x1, y1, c);
        if (x1 == x2 && y1 == y2)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y1 += sy;
        }
    }
}

void stampOutlined(QImage &target, const QImage &layer, const QColor &ink)
{
    const QImage src = layer.convertToFormat(QImage::Format_ARGB32);
    QImage rim = blank(src.width(), src.height());
    const int w = src.width();
    const int h = src.height();
    auto alphaAt = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return 0;
        return qAlpha(src.pixel(x, y));
    };
    {
        QPainter p(&rim);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int a = std::max({alphaAt(x, y), alphaAt(x - 1, y), alphaAt(x + 1, y),
                                        alphaAt(x, y - 1), alphaAt(x, y + 1)});
                if (a == 0)
                    continue;
                QColor c = ink;
                c.setAlphaF(ink.alphaF() * a / 255.0);
                p.fillRect(QRect(x, y, 1, 1), c);
            }
        }
        p.drawImage(0, 0, src);
    }
    QPainter t(&target);
    t.drawImage(0, 0, rim);
}

QImage mirrored(const QImage &img, bool horizontal, bool vertical)
{
    return img.mirrored(horizontal, vertical);
}

Smooth::Smooth(QPainter &p)
    : m_p(p)
    , m_was(p.testRenderHint(QPainter::Antialiasing))
{
    m_p.setRenderHint(QPainter::Antialiasing, true);
}

Smooth::~Smooth()
{
    m_p.setRenderHint(QPainter::Antialiasing, m_was);
}

} // namespace px
