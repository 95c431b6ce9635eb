#include "records/recordorder.h"

RecordOrder::RecordOrder(int field, bool numeric, Qt::CaseSensitivity caseSensitivity)
    : m_field(field), m_numeric(numeric), m_caseSensitivity(caseSensitivity), m_collator(collationLocale())
{
    m_collator.setCaseSensitivity(caseSensitivity);
    m_collator.setNumericMode(false);
    m_collator.setIgnorePunctuation(false);
}

int RecordOrder::compare(const QString &a, const QString &b) const
{
    if (a.isEmpty() || b.isEmpty())
        return int(!a.isEmpty()) - int(!b.isEmpty());
    if (m_numeric) {
        // The table keeps integer values as canonical decimal text.
        const int x = a.toInt();
        const int y = b.toInt();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return m_collator.compare(a, b);
}

QLocale RecordOrder::collationLocale()
{
    const QLocale locale;
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return locale;
}
