#include "panelpictures.h"

#include "doorpanel.h"
#include "palette.h"
#include "pixelkit.h"


#include <array>

namespace panelpictures {
namespace {

// Concentric arcs to the right of `centre`; `strength` per arc, 0 hides it.
void drawWaves(QPainter &p, const QPointF &centre, const std::array<qreal, 3> &radii,
               const std::array<qreal, 3> &strength, qreal penWidth, qreal halfAngle)
{
    px::Smooth s(p);
    p.setBrush(Qt::NoBrush);
    for (size_t i = 0; i < radii.size(); ++i) {
        if (strength[i] <= 0.0)
            continue;
        QColor c = pal::blue;
        c.setAlphaF(strength[i]);
        p.setPen(QPen(c, penWidth, Qt::SolidLine, Qt::RoundCap));
        const qreal r = radii[i];
        p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r),
                  int(-halfAngle * 16), int(2 * halfAngle * 16));
    }
}

} // namespace

QImage drawWindowIcon()
{
    QImage img = px::blank(iconSize, iconSize);
    QPainter p(&img);
    doorpanel::draw(p, QRect(12, 1, 40, 62), {true});
    return img;
}

QImage drawAboutPicture()
{
    QImage img = px::blank(iconSize, iconSize);
    QPainter p(&img);
    doorpanel::draw(p, QRect(3, 2, 34, 60), {true});
    drawWaves(p, QPointF(34.0, 17.0), {9.0, 16.0, 23.0}, {1.0, 0.75, 0.5}, 3.0, 38.0);
    return img;
}

QImage drawClipStrip()
{
    // Waves build up one by one, then move out and fade, so the loop
    // back to the quiet first frame is smooth.
    static const std::array<std::array<qreal, 3>, clipFrames> strength{{
        {0.0, 0.0, 0.0},
        {1.0, 0.0, 0.0},
        {1.0, 1.0, 0.0},
        {1.0, 1.0, 1.0},
        {0.35, 1.0, 1.0},
        {0.0, 0.35, 1.0},
        {0.0, 0.0, 0.35},
    }};
    QImage strip = px::blank(clipFrameSize * clipFrames, clipFrameSize);
    QPainter p(&strip);
    for (int f = 0; f < clipFrames; ++f) {
        const int x0 = f * clipFrameSize;
        p.save();
        p.setClipRect(QRect(x0, 0, clipFrameSize, clipFrameSize));
        doorpanel::draw(p, QRect(x0 + 2, 2, 14, 28), {f != 0});
        drawWaves(p, QPointF(x0 + 15.0, 12.0), {5.0, 9.0, 13.0}, strength[f], 1.8, 38.0);
        p.restore();
    }
    return strip;
}

} // namespace panelpictures
