#include "records/recordnavigator.h"

#include "common/handler.h"
#include "records/recordtable.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {
constexpr int kButtonWidth = 25;
constexpr int kButtonHeight = 25;
constexpr int kIconSize = 16;

const char *const kNames[] = {"First", "Prior", "Next", "Last", "Insert", "Delete", "Refresh"};
const char *const kTips[] = {"First record", "Prior record", "Next record", "Last record",
                             "Insert record", "Delete record", "Refresh data"};

// The navigator's pictures, drawn in the palette's text colour so that they
// follow the style and stay visible when the button is disabled.
QIcon picture(RecordNavigator::Button which, const QColor &colour)
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    auto triangle = [&p](bool left, qreal x) {
        QPainterPath path;
        if (left) {
            path.moveTo(x + 6, 3);
            path.lineTo(x, 8);
            path.lineTo(x + 6, 13);
        } else {
            path.moveTo(x, 3);
            path.lineTo(x + 6, 8);
            path.lineTo(x, 13);
        }
        path.closeSubpath();
        p.drawPath(path);
    };
    using B = RecordNavigator::Button;
    switch (which) {
    case B::First:
        p.drawRect(QRectF(4, 3, 2, 10));
        triangle(true, 7);
        break;
    case B::Prior:
        triangle(true, 5);
        break;
    case B::Next:
        triangle(false, 5);
        break;
    case B::Last:
        triangle(false, 3);
        p.drawRect(QRectF(10, 3, 2, 10));
        break;
    case B::Insert:
        p.drawRect(QRectF(3, 7, 10, 2));
        p.drawRect(QRectF(7, 3, 2, 10));
        break;
    case B::Delete:
        p.drawRect(QRectF(3, 7, 10, 2));
        break;
    case B::Refresh: {
        QPen pen(colour, 1.6);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        QPainterPath head;
        head.moveTo(9, 1);
        head.lineTo(13, 4);
        head.lineTo(9, 7);
        head.closeSubpath();
        p.drawPath(head);
        break;
    }
    }
    return QIcon(pixmap);
}
} // namespace

RecordNavigator::RecordNavigator(RecordTable &table, QWidget *parent) : QWidget(parent), m_table(table)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const QColor colour = palette().color(QPalette::ButtonText);
    for (int i = 0; i < kButtonCount; ++i) {
        const auto which = Button(i);
        auto *b = new QToolButton(this);
        b->setObjectName(QStringLiteral("DBNavigator%1").arg(QLatin1String(kNames[i])));
        b->setIcon(picture(which, colour));
        b->setIconSize(QSize(kIconSize, kIconSize));
        b->setFixedSize(kButtonWidth, kButtonHeight);
        b->setAccessibleName(QLatin1String(kNames[i]));
        b->setToolTip(QLatin1String(kTips[i]));
        b->setFocusPolicy(Qt::StrongFocus);
        layout->addWidget(b);
        m_buttons[i] = b;
        connect(b, &QToolButton::clicked, this, [this, which] { click(which); });
    }
    connect(&table, &RecordTable::afterScroll, this, &RecordNavigator::updateButtons);
    connect(&table, &RecordTable::wasReset, this, &RecordNavigator::updateButtons);
    connect(&table, &RecordTable::controlsEnabled, this, &RecordNavigator::updateButtons);
    updateButtons();
}

QToolButton *RecordNavigator::button(Button which) const { return m_buttons[int(which)]; }

QString RecordNavigator::buttonName(Button which) { return QLatin1String(kNames[int(which)]); }

QSize RecordNavigator::sizeHint() const { return QSize(kButtonWidth * kButtonCount, kButtonHeight); }

void RecordNavigator::click(Button which)
{
    guarded([this, which] {
        if (!m_table.isOpen())
            return;
        if (m_beforeAction && !m_beforeAction(which))
            return;
        perform(which);
    });
    updateButtons();
}

void RecordNavigator::perform(Button which)
{
    switch (which) {
    case Button::First:
        m_table.first();
        break;
    case Button::Prior:
        m_table.prior();
        break;
    case Button::Next:
        m_table.next();
        break;
    case Button::Last:
        m_table.last();
        break;
    case Button::Insert:
        m_table.insert();
        break;
    case Button::Delete:
        m_table.deleteRecord();
        break;
    case Button::Refresh:
        break;
    }
}

void RecordNavigator::updateButtons()
{
    const bool open = m_table.isOpen();
    const int count = m_table.recordCount();
    const int recNo = m_table.recNo(); // -1 on a new record
    const bool onNew = open && m_table.state() == RecordTable::State::Insert;
    button(Button::First)->setEnabled(open && count > 0 && (recNo != 1 || onNew));
    button(Button::Prior)->setEnabled(open && count > 0 && (recNo != 1 || onNew));
    button(Button::Next)->setEnabled(open && count > 0 && (recNo != count || onNew));
    button(Button::Last)->setEnabled(open && count > 0 && (recNo != count || onNew));
    button(Button::Insert)->setEnabled(open);
    button(Button::Delete)->setEnabled(open && (count > 0 || onNew));
    button(Button::Refresh)->setEnabled(open);
}
