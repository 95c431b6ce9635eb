#include "directory/recordediting.h"

#include "common/messages.h"
#include "directory/directoryrecord.h"
#include "directory/directorytable.h"
#include "records/recordtable.h"

#include <QSet>

using namespace DirectoryFields;

QString FindFreeAddress(RecordTable &table, int directoryEndAddress)
{
    table.sortOn(Addr, Qt::CaseSensitive);
    const int addrField = table.fieldIndex(Addr);
    QSet<QString> used;
    used.reserve(table.recordCount());
    for (int row = 0; row < table.recordCount(); ++row)
        used.insert(table.storedValue(row, addrField));
    for (int address = DirectoryLayout::FirstAddress; address <= directoryEndAddress;
         address += DirectoryLayout::SlotSize) {
        const QString text = AddressText(address);
        if (!used.contains(text))
            return text;
    }
    return kNoFreeAddress;
}

QString TrimLeadingSpaces(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start) == QLatin1Char(' '))
        ++start;
    return text.mid(start);
}

bool NameStartAcceptable(const QString &name)
{
    if (name.isEmpty())
        return false;
    const char16_t c = name.at(0).unicode();
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

bool IsPhoneCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || u == u'p' || u == u'P' || u == u':' || u == u'*' || u == u'#';
}

std::optional<char32_t> FirstWideCharacter(const EditorTexts &texts)
{
    for (const QString *text : {&texts.name, &texts.room, &texts.phone, &texts.code1, &texts.code2, &texts.spare}) {
        for (char32_t c : text->toUcs4()) {
            if (c > 0xFF)
                return c;
        }
    }
    return std::nullopt;
}

QString WideCharacterMessage(char32_t character)
{
    const QString shown = QString::fromUcs4(&character, 1);
    const QString code = QString::number(uint(character), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QStringLiteral("The character \"%1\" (U+%2) cannot be stored:\r\n"
                          "the Ostiarin and the phone list file hold single-byte characters only.\r\n"
                          "Please replace it; the record was not changed.")
        .arg(shown, code);
}

int FindRoomRecord(const RecordTable &table, const QString &room)
{
    const int roomField = table.findField(RoomNumber);
    if (roomField < 0)
        return -1;
    for (int row = 0; row < table.recordCount(); ++row) {
        if (table.storedValue(row, roomField) == room)
            return row + 1;
    }
    return -1;
}

void SetEditorValues(RecordTable &table, const EditorTexts &texts, const QString &storedRoom)
{
    table.setValue(RoomNumber, storedRoom);
    table.setValue(Name, texts.name);
    table.setValue(PHnumber, texts.phone);
    table.setValue(Code1, TrimBlanks(texts.code1));
    table.setValue(Code2, TrimBlanks(texts.code2));
    table.setValue(Spare, texts.spare);
}

bool EditorTextsAcceptable(const EditorTexts &texts)
{
    const QStringList values{texts.name, texts.room, texts.phone, texts.code1, texts.code2, texts.spare};
    const int field = FirstControlField(values);
    if (field >= 0) {
        static const char *const names[] = {"Name", "RoomNumber", "PHnumber", "Code1", "Code2", "spare"};
        const QString record = QStringLiteral("the record \"%1\" (room %2)")
                                   .arg(ShownWithoutControls(texts.name), ShownWithoutControls(TrimBlanks(texts.room)));
        MessageService::inform(ControlCharacterMessage(record, QLatin1String(names[field])));
        return false;
    }
    // The unit would keep only a code's leading digits, while the table
    // showed the whole text.
    if (!IsCodeText(texts.code1) || !IsCodeText(texts.code2)) {
        MessageService::inform(NumericDigitsMessage());
        return false;
    }
    return true;
}

std::optional<QString> EditorRecordText(const EditorTexts &texts)
{
    const QString room = LeadingDigits(TrimBlanks(texts.room), DirectoryLayout::RoomWidth);
    if (room.isEmpty())
        return std::nullopt;
    return DirectoryRecordText(room, TrimBlanks(texts.code1), TrimBlanks(texts.code2), texts.spare, texts.phone,
                               texts.name);
}
