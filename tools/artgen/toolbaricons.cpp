#include "toolbaricons.h"

#include "palette.h"
#include "pixelkit.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <array>

using namespace px;

namespace toolbar {
namespace {

constexpr int S = iconSize;

// Draws `paint` on a fresh transparent layer and stamps it, outlined in
// `ink`, onto `icon`.
template <typename Paint>
void outlinedLayer(QImage &icon, const QColor &ink, Paint paint)
{
    QImage layer = blank(S, S);
    {
        QPainter p(&layer);
        paint(p);
    }
    stampOutlined(icon, layer, ink);
}

QImage drawCut()
{
    QImage icon = blank(S, S);
    // Blades: 2 pixels wide, crossing at the pivot; each runs on to the
    // handle on the other side.
    static const int bladeX[9] = {4, 4, 5, 5, 6, 7, 7, 8, 9};
    outlinedLayer(icon, pal::ink, [](QPainter &p) {
        for (int y = 0; y < 9; ++y) {
            const int a = bladeX[y];
            const int b = 14 - a;
            // Pointed tips: one pixel wide on the top row.
            const int w = y == 0 ? 0 : 1;
            hline(p, b + 1 - w, b + 1, y, pal::metal);
            hline(p, a, a + w, y, pal::metalLight);
        }
    });
    {
        QPainter p(&icon);
        hline(p, 7, 8, 5, pal::ink);
    }
    // Ring handles with a see-through hole.
    {
        QPainter p(&icon);
        for (int x0 : {1, 9}) {
            hline(p, x0 + 1, x0 + 4, 9, pal::redDark);
            hline(p, x0 + 1, x0 + 4, 14, pal::redDark);
            vline(p, x0, 10, 13, pal::redDark);
            vline(p, x0 + 5, 10, 13, pal::redDark);
            frame(p, x0 + 1, 10, x0 + 4, 13, pal::red);
            hline(p, x0 + 2, x0 + 3, 10, pal::redLight);
        }
    }
    return icon;
}

void sheetLines(QPainter &p, int x1, int x2, std::initializer_list<int> rows)
{
    for (int y : rows)
        hline(p, x1, x2, y, pal::textLine);
}

QImage drawCopy()
{
    QImage icon = blank(S, S);
    QPainter p(&icon);
    box(p, 1, 0, 9, 11, pal::ink, pal::paperShade);
    sheetLines(p, 3, 7, {2, 4, 6, 8});
    box(p, 6, 4, 14, 15, pal::ink, pal::paper);
    sheetLines(p, 8, 12, {6, 8, 10});
    hline(p, 8, 10, 12, pal::textLine);
    return icon;
}

QImage drawPaste()
{
    QImage icon = blank(S, S);
    QPainter p(&icon);
    box(p, 1, 2, 12, 15, pal::brownDark, pal::brown);
    box(p, 4, 0, 9, 3, pal::ink, pal::metal);
    hline(p, 5, 8, 1, pal::metalLight);
    box(p, 6, 6, 14, 15, pal::ink, pal::paper);
    sheetLines(p, 8, 12, {8, 10, 12});
    return icon;
}

QImage drawUndo()
{
    QImage icon = blank(S, S);
    outlinedLayer(icon, pal::blueDark, [](QPainter &p) {
        Smooth s(p);
        QPainterPath arrow;
        arrow.setFillRule(Qt::WindingFill);
        arrow.addPolygon(QPolygonF({{1.0, 6.5}, {6.0, 1.5}, {6.0, 11.5}}));
        arrow.addRect(QRectF(5.5, 5.0, 5.0, 3.0));
        // Quarter ring from the top round to the right, 3 pixels thick.
        QPainterPath ring;
        ring.moveTo(10.0, 5.0);
        ring.arcTo(QRectF(5.0, 5.0, 10.0, 10.0), 90.0, -90.0);
        ring.lineTo(15.0, 14.0);
        ring.lineTo(12.0, 14.0);
        ring.lineTo(12.0, 10.0);
        ring.arcTo(QRectF(8.0, 8.0, 4.0, 4.0), 0.0, 90.0);
        ring.closeSubpath();
        arrow.addPath(ring);
        p.setPen(Qt::NoPen);
        QLinearGradient g(0, 2, 0, 14);
        g.setColorAt(0, pal::blueLight);
        g.setColorAt(1, pal::blue);
        p.setBrush(g);
        p.drawPath(arrow.simplified());
    });
    return icon;
}

QImage drawFind()
{
    QImage icon = blank(S, S);
    outlinedLayer(icon, pal::ink, [](QPainter &p) {
        for (int i = 0; i < 5; ++i)
            fill(p, 9 + i, 9 + i, 10 + i, 10 + i, pal::brownDark);
        Smooth s(p);
        p.setPen(Qt::NoPen);
        p.setBrush(pal::metalDark);
        p.drawEllipse(QPointF(6.5, 6.5), 5.5, 5.5);
        p.setBrush(QColor(0xd4, 0xea, 0xfc));
        p.drawEllipse(QPointF(6.5, 6.5), 4.0, 4.0);
        p.setPen(QPen(pal::paper, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3.6, 3.6, 5.8, 5.8), 100 * 16, 70 * 16);
    });
    return icon;
}

QImage drawNewFile()
{
    QImage icon = blank(S, S);
    {
        QPainter p(&icon);
        // Sheet with its top right corner folded down.
        for (int y = 1; y <= 15; ++y) {
            const int right = y < 5 ? 9 + y : 14;
            if (y == 1 || y == 15) {
                hline(p, 4, right, y, pal::ink);
                continue;
            }
            hline(p, 5, right - 1, y, pal::paper);
            dot(p, 4, y, pal::ink);
            dot(p, right, y, pal::ink);
        }
        vline(p, 10, 1, 5, pal::ink);
        hline(p, 10, 14, 5, pal::ink);
        dot(p, 11, 3, pal::paperShade);
        dot(p, 11, 4, pal::paperShade);
        dot(p, 12, 4, pal::paperShade);
    }
    // A small bright star: "new".
    outlinedLayer(icon, pal::yellowDark, [](QPainter &p) {
        vline(p, 3, 0, 6, pal::yellow);
        hline(p, 0, 6, 3, pal::yellow);
        fill(p, 2, 2, 4, 4, pal::yellow);
        dot(p, 3, 3, pal::paper);
    });
    return icon;
}

QImage drawOpen()
{
    QImage icon = blank(S, S);
    outlinedLayer(icon, pal::ink, [](QPainter &p) {
        fill(p, 1, 2, 5, 3, pal::yellowDark);
        fill(p, 1, 3, 12, 13, pal::yellowDark);
        hline(p, 2, 11, 4, pal::yellow);
    });
    outlinedLayer(icon, pal::ink, [](QPainter &p) {
        Smooth s(p);
        QLinearGradient g(0, 7, 0, 14);
        g.setColorAt(0, pal::yellowLight);
        g.setColorAt(1, pal::yellow);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPolygon(QPolygonF({{4.0, 7.0}, {15.0, 7.0}, {12.5, 14.0}, {1.0, 14.0}}));
    });
    return icon;
}

QImage drawSave()
{
    QImage icon = blank(S, S);
    QPainter p(&icon);
    // Body with a bevelled top right corner.
    box(p, 1, 1, 14, 14, pal::ink, pal::blue);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    dot(p, 14, 1, Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    dot(p, 13, 2, pal::ink);
    hline(p, 2, 12, 2, pal::blueLight);
    // Metal shutter with its slot.
    box(p, 4, 1, 11, 6, pal::ink, pal::metal);
    hline(p, 5, 10, 2, pal::metalLight);
    fill(p, 8, 3, 9, 5, pal::metalDark);
    // Label.
    box(p, 3, 8, 12, 14, pal::ink, pal::paper);
    sheetLines(p, 5, 10, {10, 12});
    return icon;
}

QImage drawPrint()
{
    QImage icon = blank(S, S);
    QPainter p(&icon);
    box(p, 4, 0, 11, 6, pal::ink, pal::paper);
    sheetLines(p, 6, 9, {2, 4});
    box(p, 1, 5, 14, 12, pal::ink, pal::metal);
    hline(p, 2, 13, 6, pal::metalLight);
    hline(p, 2, 13, 11, pal::metalDark);
    dot(p, 12, 7, pal::green);
    box(p, 4, 9, 11, 15, pal::ink, pal::paper);
    sheetLines(p, 6, 9, {11, 13});
    return icon;
}

QImage drawHelp()
{
    QImage icon = blank(S, S);
    outlinedLayer(icon, pal::blueDark, [](QPainter &p) {
        {
            Smooth s(p);
            QRadialGradient g(QPointF(6.0, 5.0), 9.0);
            g.setColorAt(0, pal::blueLight);
            g.setColorAt(1, pal::blue);
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawEllipse(QPointF(8.0, 8.0), 7.0, 7.0);
        }
        const QColor w = pal::paper;
        hline(p, 6, 9, 3, w);
        fill(p, 5, 4, 6, 4, w);
        fill(p, 9, 4, 10, 5, w);
        fill(p, 8, 6, 9, 6, w);
        fill(p, 7, 7, 8, 8, w);
        fill(p, 7, 10, 8, 11, w);
    });
    return icon;
}

QImage drawDelete()
{
    QImage icon = blank(S, S);
    outlinedLayer(icon, pal::redDark, [](QPainter &p) {
        for (int i = 0; i <= 10; ++i) {
            for (int x : {2 + i, 13 - i}) {
                const int dir = x == 2 + i ? 1 : -1;
                dot(p, x, 2 + i, pal::red);
                dot(p, x + dir, 2 + i, pal::red);
                dot(p, x, 3 + i, pal::red);
            }
        }
        // Lighter spine gives the cross some depth.
        for (int i = 1; i <= 9; ++i) {
            dot(p, 2 + i, 2 + i, pal::redLight);
            dot(p, 13 - i, 2 + i, pal::redLight);
        }
    });
    return icon;
}

QImage drawArrowUp()
{
    QImage icon = blank(S, S);
    outlinedLayer(icon, pal::greenDark, [](QPainter &p) {
        for (int y = 1; y <= 7; ++y)
            hline(p, 8 - y, 7 + y, y, pal::green);
        fill(p, 5, 8, 10, 14, pal::green);
        vline(p, 6, 8, 13, pal::greenLight);
        for (int y = 2; y <= 7; ++y)
            dot(p, 8 - y + 1, y, pal::greenLight);
    });
    return icon;
}

QImage drawKey()
{
    QImage icon = blank(S, S);
    outlinedLayer(icon, pal::yellowDark, [](QPainter &p) {
        // Bow: a 7-pixel disc with a hole, then shaft and bit.
        hline(p, 3, 5, 5, pal::yellow);
        hline(p, 2, 6, 6, pal::yellow);
        fill(p, 1, 7, 7, 9, pal::yellow);
        hline(p, 2, 6, 10, pal::yellow);
        hline(p, 3, 5, 11, pal::yellow);
        hline(p, 3, 5, 6, pal::yellowLight);
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        fill(p, 3, 8, 4, 8, Qt::black);
        dot(p, 3, 7, Qt::black);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        fill(p, 8, 7, 14, 8, pal::yellow);
        hline(p, 8, 14, 7, pal::yellowLight);
        fill(p, 11, 9, 11, 10, pal::yellow);
        fill(p, 13, 9, 14, 11, pal::yellow);
    });
    return icon;
}

QImage drawSettings()
{
    QImage icon = blank(S, S);
    QPainter p(&icon);
    const std::array<int, 3> rows{3, 8, 13};
    const std::array<int, 3> knobs{4, 11, 7};
    const std::array<QColor, 3> colours{pal::blue, pal::orange, pal::green};
    for (int i = 0; i < 3; ++i) {
        hline(p, 1, 14, rows[i], pal::metalDark);
        hline(p, 1, 14, rows[i] + 1, pal::metal);
    }
    for (int i = 0; i < 3; ++i) {
        const int x = knobs[i];
        const int y = rows[i];
        box(p, x - 1, y - 2, x + 1, y + 2, pal::ink, colours[i]);
        dot(p, x, y - 1, colours[i].lighter(150));
    }
    return icon;
}

QImage drawTelephone()
{
    QImage icon = blank(S, S);
    // Body first, then the handset resting on its cradle.
    outlinedLayer(icon, pal::redDark, [](QPainter &p) {
        hline(p, 5, 10, 6, pal::red);
        hline(p, 4, 11, 7, pal::red);
        hline(p, 3, 12, 8, pal::red);
        fill(p, 2, 9, 13, 14, pal::red);
        hline(p, 4, 11, 7, pal::redLight);
        for (int y : {9, 11, 13})
            for (int x : {4, 7, 10})
                hline(p, x, x + 1, y, pal::paper);
    });
    outlinedLayer(icon, pal::ink, [](QPainter &p) {
        const QColor h(0x3b, 0x46, 0x52);
        hline(p, 2, 13, 1, h);
        hline(p, 1, 14, 2, h);
        fill(p, 1, 3, 4, 4, h);
        fill(p, 11, 3, 14, 4, h);
        hline(p, 4, 11, 1, QColor(0x70, 0x7e, 0x8c));
    });
    return icon;
}

QImage drawLock()
{
    QImage icon = blank(S, S);
    outlinedLayer(icon, pal::metalDark, [](QPainter &p) {
        hline(p, 6, 9, 1, pal::metal);
        hline(p, 5, 6, 2, pal::metal);
        hline(p, 9, 10, 2, pal::metal);
        fill(p, 4, 3, 5, 7, pal::metal);
        fill(p, 10, 3, 11, 7, pal::metal);
        dot(p, 7, 1, pal::metalLight);
        vline(p, 4, 3, 6, pal::metalLight);
    });
    outlinedLayer(icon, pal::yellowDark, [](QPainter &p) {
        fill(p, 2, 7, 13, 14, pal::yellow);
        hline(p, 2, 13, 7, pal::yellowLight);
        fill(p, 7, 9, 8, 10, pal::ink);
        fill(p, 7, 11, 8, 12, pal::brownDark);
    });
    return icon;
}

QImage drawClock()
{
    QImage icon = blank(S, S);
    QPainter p(&icon);
    {
        Smooth s(p);
        p.setPen(Qt::NoPen);
        p.setBrush(pal::ink);
        p.drawEllipse(QPointF(7.5, 7.5), 7.2, 7.2);
        QRadialGradient g(QPointF(6.0, 5.0), 8.0);
        g.setColorAt(0, pal::paper);
        g.setColorAt(1, QColor(0xd6, 0xe4, 0xf2));
        p.setBrush(g);
        p.drawEllipse(QPointF(7.5, 7.5), 5.9, 5.9);
    }
    dot(p, 7, 2, pal::ink);
    dot(p, 12, 7, pal::ink);
    dot(p, 7, 12, pal::ink);
    dot(p, 2, 7, pal::ink);
    vline(p, 7, 3, 7, pal::ink);
    hline(p, 7, 10, 7, pal::ink);
    dot(p, 7, 7, pal::red);
    return icon;
}

QImage drawRefresh()
{
    QImage icon = blank(S, S);
    outlinedLayer(icon, pal::greenDark, [](QPainter &p) {
        // A ring open at the right, measured per pixel so it stays sharp,
        // with an arrow head on its upper end pointing on clockwise.
        const qreal gapFrom = -20.0;
        const qreal gapTo = 55.0;
        for (int y = 0; y < S; ++y) {
            for (int x = 0; x < S; ++x) {
                const qreal dx = x + 0.5 - 8.0;
                const qreal dy = 8.0 - (y + 0.5);
                const qreal d = qSqrt(dx * dx + dy * dy);
                const qreal angle = qRadiansToDegrees(qAtan2(dy, dx));
                if (d >= 3.6 && d <= 5.7 && !(angle > gapFrom && angle < gapTo))
                    dot(p, x, y, pal::green);
            }
        }
        Smooth s(p);
        const qreal a = qDegreesToRadians(gapTo);
        const QPointF centre(8.0, 8.0);
        const QPointF out(qCos(a), -qSin(a));
        const QPointF along(qSin(a), qCos(a));
        const QPointF base = centre + out * 4.65;
        p.setPen(Qt::NoPen);
        p.setBrush(pal::green);
        p.drawPolygon(QPolygonF({base + along * 4.0, base + out * 3.6 - along * 0.5,
                                 base - out * 3.6 - along * 0.5}));
    });
    return icon;
}

QImage drawLed(const QColor &light, const QColor &base, const QColor &dark)
{
    // All three lamps share this geometry so that switching pictures only
    // changes the colour, never the outline.
    QImage icon = blank(S, S);
    QPainter p(&icon);
    Smooth s(p);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::ink);
    p.drawEllipse(QPointF(8.0, 8.0), 7.0, 7.0);
    QRadialGradient g(QPointF(6.5, 6.0), 7.5, QPointF(6.0, 5.5));
    g.setColorAt(0.0, light);
    g.setColorAt(0.55, base);
    g.setColorAt(1.0, dark);
    p.setBrush(g);
    p.drawEllipse(QPointF(8.0, 8.0), 5.9, 5.9);
    p.setBrush(QColor(255, 255, 255, 210));
    p.drawEllipse(QPointF(6.2, 5.4), 2.2, 1.5);
    return icon;
}

QImage drawTick()
{
    QImage icon = blank(S, S);
    outlinedLayer(icon, pal::greenDark, [](QPainter &p) {
        for (int t = 0; t < 3; ++t) {
            line(p, 2, 8 - t, 6, 12 - t, pal::green);
            line(p, 6, 12 - t, 13, 5 - t, pal::green);
        }
        line(p, 7, 9, 12, 4, pal::greenLight);
    });
    return icon;
}

QImage drawCalendar()
{
    QImage icon = blank(S, S);
    QPainter p(&icon);
    box(p, 1, 2, 14, 14, pal::ink, pal::paper);
    fill(p, 2, 3, 13, 5, pal::red);
    vline(p, 4, 1, 3, pal::ink);
    vline(p, 11, 1, 3, pal::ink);
    for (int y : {7, 9, 11})
        for (int x : {3, 5, 7, 9, 11})
            dot(p, x, y, pal::textLine);
    fill(p, 8, 9, 9, 10, pal::red);
    for (int x : {3, 5})
        dot(p, x, 13, pal::textLine);
    return icon;
}

QImage drawPerson()
{
    QImage icon = blank(S, S);
    outlinedLayer(icon, pal::ink, [](QPainter &p) {
        Smooth s(p);
        p.setPen(Qt::NoPen);
        QLinearGradient g(0, 9, 0, 16);
        g.setColorAt(0, pal::blueLight);
        g.setColorAt(1, pal::blue);
        p.setBrush(g);
        p.setClipRect(QRect(0, 0, 16, 15));
        p.drawEllipse(QRectF(2.0, 9.5, 12.0, 12.0));
        p.setClipping(false);
    });
    outlinedLayer(icon, pal::ink, [](QPainter &p) {
        Smooth s(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf3, 0xc9, 0x9c));
        p.drawEllipse(QPointF(8.0, 5.0), 3.3, 3.6);
    });
    return icon;
}

QImage drawHouse()
{
    QImage icon = blank(S, S);
    outlinedLayer(icon, pal::ink, [](QPainter &p) {
        fill(p, 3, 7, 12, 14, pal::yellowLight);
        fill(p, 6, 10, 9, 14, pal::brown);
        dot(p, 8, 12, pal::yellowDark);
    });
    outlinedLayer(icon, pal::redDark, [](QPainter &p) {
        for (int y = 1; y <= 7; ++y)
            hline(p, 8 - y, 7 + y, y, pal::red);
        for (int y = 2; y <= 6; ++y)
            dot(p, 8 - y + 1, y, pal::redLight);
    });
    return icon;
}

QImage drawRfidTag()
{
    QImage icon = blank(S, S);
    const QPointF body(10.4, 10.4);
    const QPointF head(6.0, 6.0);
    outlinedLayer(icon, pal::blueDark, [&](QPainter &p) {
        Smooth s(p);
        const qreal rb = 4.9;
        const qreal rh = 2.9;
        const QPointF n(M_SQRT1_2, -M_SQRT1_2);   // across the tag's long axis
        QPainterPath tag;
        tag.setFillRule(Qt::WindingFill);
        tag.addEllipse(body, rb, rb);
        tag.addEllipse(head, rh, rh);
        tag.addPolygon(QPolygonF({head + n * rh, body + n * rb, body - n * rb, head - n * rh}));
        QLinearGradient g(head, body + QPointF(3, 3));
        g.setColorAt(0, pal::blueLight);
        g.setColorAt(1, pal::blue);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(tag.simplified());
        // Contactless waves round the key-ring hole.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(pal::paper, 1.3, Qt::SolidLine, Qt::FlatCap));
        for (qreal r : {4.2, 6.8}) {
            const QRectF arc(head.x() - r, head.y() - r, 2 * r, 2 * r);
            p.drawArc(arc, -75 * 16, 60 * 16);
        }
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(head, 1.25, 1.25);
    });
    {
        // Split ring through the hole: thin, so the tag stays the subject.
        QPainter p(&icon);
        Smooth s(p);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(pal::metalDark, 1.3));
        p.drawEllipse(QPointF(3.7, 3.7), 2.9, 2.9);
        p.setPen(QPen(pal::metalLight, 0.8));
        p.drawArc(QRectF(1.2, 1.2, 5.0, 5.0), 100 * 16, 70 * 16);
    }
    return icon;
}

QImage drawLightning()
{
    QImage icon = blank(S, S);
    outlinedLayer(icon, pal::yellowDark, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(pal::yellow);
        p.drawPolygon(QPolygon({{9, 0}, {3, 9}, {7, 9}, {5, 16}, {13, 6}, {9, 6}, {12, 0}}));
        line(p, 9, 1, 5, 7, pal::yellowLight);
    });
    return icon;
}

} // namespace

QImage drawIcon(int index)
{
    switch (index) {
    case Cut: return drawCut();
    case Copy: return drawCopy();
    case Paste: return drawPaste();
    case Undo: return drawUndo();
    case Redo: return mirrored(drawUndo(), true, false);
    case Find: return drawFind();
    case NewFile: return drawNewFile();
    case Open: return drawOpen();
    case Save: return drawSave();
    case Print: return drawPrint();
    case Help: return drawHelp();
    case Delete: return drawDelete();
    case ArrowUp: return drawArrowUp();
    case ArrowDown: return mirrored(drawArrowUp(), false, true);
    case Key: return drawKey();
    case Settings: return drawSettings();
    case Telephone: return drawTelephone();
    case Lock: return drawLock();
    case Clock: return drawClock();
    case Refresh: return drawRefresh();
    case LedRed: return drawLed(pal::redLight, QColor(0xf0, 0x30, 0x22), QColor(0x96, 0x10, 0x0a));
    case LedGreen: return drawLed(pal::greenLight, QColor(0x32, 0xc8, 0x3a), QColor(0x12, 0x6a, 0x1a));
    case LedGrey: return drawLed(pal::metalLight, QColor(0xa8, 0xb0, 0xb8), QColor(0x62, 0x6b, 0x74));
    case Tick: return drawTick();
    case Calendar: return drawCalendar();
    case Person: return drawPerson();
    case House: return drawHouse();
    case RfidTag: return drawRfidTag();
    case Lightning: return drawLightning();
    default: return QImage();
    }
}

const char *iconRole(int index)
{
    static const char *const roles[iconCount] = {
        "cut (scissors)", "copy (two sheets)", "paste (clipboard)", "undo", "redo",
        "find (magnifier)", "new file", "open (folder)", "save (floppy disk)", "print",
        "help", "delete (red cross)", "arrow up", "arrow down", "key",
        "parameter settings (sliders)", "telephone", "lock", "clock", "refresh",
        "LED red", "LED green", "LED grey", "tick (OK)", "calendar",
        "person", "house", "RFID key-fob tag", "lightning (power)"};
    return index >= 0 && index < iconCount ? roles[index] : "";
}

} // namespace toolbar
