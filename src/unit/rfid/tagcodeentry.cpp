#include "rfid/tagcodeentry.h"

#include "common/messages.h"
#include "directory/directorytable.h"
#include "records/recordtable.h"
#include "rfid/tagcode.h"

#include <QStringList>

namespace {
// Records named in one message at most; a larger count follows them.
constexpr int kNamedRecords = 10;

QString recordName(const RecordTable &table, int row)
{
    const int name = table.findField(DirectoryFields::Name);
    const int room = table.findField(DirectoryFields::RoomNumber);
    QString text = QStringLiteral("room ") + (room < 0 ? QString() : table.storedValue(row, room));
    const QString who = name < 0 ? QString() : table.storedValue(row, name);
    if (!who.isEmpty())
        text += QStringLiteral(" (") + who + QLatin1Char(')');
    return text;
}
} // namespace

QString NotHexTagCodeText(const QString &code, const QString &whose)
{
    QString text = QStringLiteral("The RF-ID code \"") + code + QLatin1Char('"');
    if (!whose.isEmpty())
        text += QStringLiteral(" of ") + whose;
    return text + QStringLiteral(" is not valid:\r\nuse only the digits 0-9 and the letters A-F.");
}

int TakeLoadedTagCodes(RecordTable &table)
{
    const int rfid = table.findField(DirectoryFields::RFID);
    if (rfid < 0 || table.recordCount() == 0)
        return 0;
    table.storePending();
    QStringList refused;
    // By row, each changed record stored at once: a table sorted on the
    // code moves a record that changes, and rows before `row` need nothing.
    int row = 0;
    while (row < table.recordCount()) {
        const QString code = table.storedValue(row, rfid);
        const bool hex = IsHexTagCode(code);
        const QString normal = hex ? NormalTagCode(code) : QString();
        if (normal == code) {
            ++row;
            continue;
        }
        if (!hex)
            refused << QLatin1Char('"') + code + QStringLiteral("\" of ") + recordName(table, row);
        table.moveTo(row + 1);
        table.setValue(rfid, normal);
        table.store();
    }
    table.first();
    if (!refused.isEmpty()) {
        QStringList lines = refused.mid(0, kNamedRecords);
        if (refused.size() > kNamedRecords)
            lines << QStringLiteral("and %1 more").arg(refused.size() - kNamedRecords);
        MessageService::inform(QStringLiteral("RF-ID codes may hold only the digits 0-9 and the letters A-F.\r\n"
                                              "These codes were not loaded:\r\n")
                               + lines.join(QStringLiteral("\r\n")));
    }
    return int(refused.size());
}
