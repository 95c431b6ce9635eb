#pragma once

#include <QList>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

// A small looping clip (the link animation): frames of equal width taken
// from one picture strip, shown one after the other.
class ClipAnimation : public QWidget {
    Q_OBJECT
public:
    explicit ClipAnimation(QWidget *parent = nullptr);

    // Loads the clip from the program's resources, frameSize pixels square.
    void loadClip(const QString &name, int frameSize = 32, int frameMs = 200);
    void play();
    // Stops and shows the first frame.
    void stop();

    bool isPlaying() const { return m_timer.isActive(); }
    int frameCount() const { return int(m_frames.size()); }
    int currentFrame() const { return m_current; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<QPixmap> m_frames;
    QTimer m_timer;
    int m_current = 0;
};
