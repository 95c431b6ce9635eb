#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringList>

// The ascending order of a record table on one field.
//
// Texts compare by the user's locale collation, with or without regard to
// letter case.  Digits compare as text (rooms "10", "2", "9" stay in that
// order), and an empty value comes before every other value.  An integer
// field compares by number, an empty value first.
//
// Under the C locale Qt's collator compares code points, which would put
// every capital before every small letter ("A", "C", "b").  A user running
// without a locale still expects dictionary order, so the C locale is
// replaced by US English collation.
class RecordOrder {
public:
    RecordOrder(int field, bool numeric, Qt::CaseSensitivity caseSensitivity);

    int field() const { return m_field; }
    Qt::CaseSensitivity caseSensitivity() const { return m_caseSensitivity; }

    // Negative, zero or positive as a sorts before, with or after b.
    int compare(const QString &a, const QString &b) const;
    // Whether record a (its values in field order) sorts before record b.
    bool less(const QStringList &a, const QStringList &b) const
    {
        return compare(a.at(m_field), b.at(m_field)) < 0;
    }

    // The locale whose collation sorts texts: the default locale (the user's,
    // unless the program set another), US English in place of C.
    static QLocale collationLocale();

private:
    int m_field;
    bool m_numeric;
    Qt::CaseSensitivity m_caseSensitivity;
    QCollator m_collator;
};
