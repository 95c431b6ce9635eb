#include "widgets/transferwindow.h"

#include "widgets/pictures.h"

#include <QGuiApplication>
#include <QScreen>

TTransferF::TTransferF(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TransferF"));
    setWindowTitle(QStringLiteral("Transfer"));
    setAccessibleName(QStringLiteral("Transfer"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(271, 79);
    QLabel **images[3] = {&Image1, &Image2, &Image3};
    for (int i = 0; i < 3; ++i) {
        QLabel *image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        image->setGeometry(3, 3, 265, 73);
        image->setPixmap(Pictures::transfer(i + 1));
        image->hide();
        *images[i] = image;
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Timer1.setInterval(300);
    connect(&Timer1, &QTimer::timeout, this, &TTransferF::Timer1Timer);
    Timer1.start(); // runs all the time, shown or not
}

int TTransferF::visibleImage() const
{
    if (!Image1->isHidden())
        return 1;
    if (!Image2->isHidden())
        return 2;
    if (!Image3->isHidden())
        return 3;
    return 0;
}

void TTransferF::Timer1Timer()
{
    ++m_counter;
    Image1->hide();
    Image2->hide();
    Image3->hide();
    switch (m_counter) {
    case 1:
    case 3:
        Image2->show();
        break;
    case 2:
        Image3->show();
        break;
    case 4:
        Image1->show();
        m_counter = 0;
        break;
    default:
        m_counter = 0;
        break;
    }
}

void TTransferF::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TTransferF::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    FormHide();
}

void TTransferF::FormShow()
{
    m_counter = 0;
    if (m_status)
        m_status(QStringLiteral("DownLoading."));
}

void TTransferF::FormHide()
{
    if (m_status)
        m_status(QStringLiteral("Done"));
}
