#include "widgets/statuspanels.h"

#include <QLabel>

StatusPanels::StatusPanels(QWidget *parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    const int widths[2] = {320, 50};
    for (int i = 0; i < 2; ++i) {
        m_labels[i] = new QLabel(this);
        m_labels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_labels[i]->setFrameShape(QFrame::Panel);
        m_labels[i]->setFrameShadow(QFrame::Sunken);
        m_labels[i]->setFixedWidth(widths[i]);
        m_labels[i]->setTextFormat(Qt::PlainText);
        m_labels[i]->setAccessibleName(i == 0 ? QStringLiteral("Status") : QStringLiteral("Last command"));
        // Permanent widgets stay visible whatever QStatusBar itself shows.
        addPermanentWidget(m_labels[i], i == 0 ? 0 : 0);
    }
    // Panel 0 stands at the left edge: a stretching filler follows the panels.
    auto *filler = new QWidget(this);
    addPermanentWidget(filler, 1);
}

QString StatusPanels::panel(int index) const { return (index == 0 || index == 1) ? m_texts[index] : QString(); }

void StatusPanels::setPanel(int index, const QString &text)
{
    if (index != 0 && index != 1)
        return;
    m_texts[index] = text;
    // The last writer wins: a status text replaces a hint shown over it.
    m_labels[index]->setText(text);
}

void StatusPanels::showHint(const QString &hint)
{
    m_labels[0]->setText(hint.isEmpty() ? m_texts[0] : hint);
}

QString StatusPanels::shownText(int index) const
{
    return (index == 0 || index == 1) ? m_labels[index]->text() : QString();
}
