#include "widgets/clipanimation.h"

#include "widgets/pictures.h"

#include <QPainter>

ClipAnimation::ClipAnimation(QWidget *parent) : QWidget(parent)
{
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_frames.isEmpty())
            return;
        m_current = (m_current + 1) % int(m_frames.size());
        update();
    });
}

void ClipAnimation::loadClip(const QString &name, int frameSize, int frameMs)
{
    const QPixmap strip = Pictures::clip(name);
    m_frames.clear();
    for (int x = 0; x + frameSize <= strip.width(); x += frameSize)
        m_frames.append(strip.copy(x, 0, frameSize, frameSize));
    m_timer.setInterval(frameMs);
    m_current = 0;
    update();
}

void ClipAnimation::play()
{
    if (!m_frames.isEmpty())
        m_timer.start();
}

void ClipAnimation::stop()
{
    m_timer.stop();
    m_current = 0;
    update();
}

void ClipAnimation::paintEvent(QPaintEvent *)
{
    if (m_frames.isEmpty())
        return;
    QPainter painter(this);
    const QPixmap &frame = m_frames.at(m_current);
    painter.drawPixmap((width() - frame.width()) / 2, (height() - frame.height()) / 2, frame);
}
