#pragma once

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <functional>

// The small borderless picture that stays on top while data moves between
// the program and the unit.  Its pictures cycle 2, 3, 2, 1 every 300 ms.
class TTransferF : public QWidget {
    Q_OBJECT
public:
    explicit TTransferF(QWidget *parent = nullptr);

    // Where "DownLoading." and "Done" are shown (the main window's panel 0).
    void setStatusSink(std::function<void(const QString &)> sink) { m_status = std::move(sink); }

    // The picture now visible: 1, 2 or 3 (0 before the first tick).
    int visibleImage() const;
    int frameCounter() const { return m_counter; }

    void Timer1Timer();

    QLabel *Image1;
    QLabel *Image2;
    QLabel *Image3;
    QTimer Timer1;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void FormShow();
    void FormHide();

    std::function<void(const QString &)> m_status;
    int m_counter = 0;
};
