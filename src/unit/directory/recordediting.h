#pragma once

#include <QString>

#include <optional>

class RecordTable;

// The record editor's rules, apart from its window: what a box may hold,
// which address a new record gets, and what OK stores and sends.

// The texts of the editor's six boxes.
struct EditorTexts {
    QString name;
    QString room;
    QString phone;
    QString code1;
    QString code2;
    QString spare; // the hidden box carrying the record's spare digits
};

namespace EditorLimits {
constexpr int NameLength = 16;
constexpr int RoomLength = 6;
constexpr int PhoneLength = 16;
constexpr int CodeLength = 4;
constexpr int SpareLength = 2;
constexpr int MaxRecords = 1000;      // records the editor lets the table hold
constexpr int NoFreeAddressEnd = 0x1000; // below the first slot no record fits
} // namespace EditorLimits

// The record address text that tells no slot was free.
inline const QString kNoFreeAddress = QStringLiteral("0000");

// The lowest slot address from 1000 upward, in steps of 20 (hex), up to and
// including directoryEndAddress, that no record of the table uses; "0000"
// when none is free.  Sorts the table on its addresses (case significant);
// the table stays in that order.
QString FindFreeAddress(RecordTable &table, int directoryEndAddress);

// text without its leading blanks.
QString TrimLeadingSpaces(const QString &text);

// A name must start with a letter A-Z, a-z or a digit (after its leading
// blanks are gone).
bool NameStartAcceptable(const QString &name);

// The characters the phone box takes from the keyboard: digits, 'p', 'P',
// ':', '*' and '#' (Backspace is handled as a key, not a character).
bool IsPhoneCharacter(QChar c);

// The first character of the texts that the single-byte record table cannot
// hold (above U+00FF), as a code point; nothing when every one fits.
std::optional<char32_t> FirstWideCharacter(const EditorTexts &texts);
// The message refusing such a character; it names the character.
QString WideCharacterMessage(char32_t character);

// The record number (from 1, current order) of the first stored record whose
// room equals `room` exactly, or -1.
int FindRoomRecord(const RecordTable &table, const QString &room);

// Sets the boxes' texts on the table's current record (put into edit or
// insert state by the caller); `storedRoom` is the room as validated, the
// codes are stored without the blanks around them.
void SetEditorValues(RecordTable &table, const EditorTexts &texts, const QString &storedRoom);

// Whether the boxes may be stored and sent: no control character in any
// box (the message names the record and the box) and codes of decimal
// digits only (the numeric-digits message).  Shows the message when not.
bool EditorTextsAcceptable(const EditorTexts &texts);

// The record text sent to the unit for the boxes: the room's leading digits
// as typed (blanks around it dropped), the codes (blanks dropped) and spare's
// leading digits, the phone in dial digits and the name unchanged.  Nothing
// when no digit of the room would reach the unit: it would store an empty
// room and drop the resident from the next download.
std::optional<QString> EditorRecordText(const EditorTexts &texts);
