#pragma once

#include <QString>

class RecordTable;

// Tag codes as they enter the directory (typed, captured, loaded from a
// phone list): the unit keeps only hexadecimal digits and drops any other
// character, and a lower-case letter is no digit of its.  So letters are
// stored in upper case and any other character is refused where it enters.

// The message for a code that holds something other than hexadecimal
// digits; `whose` names the record, or is empty for a typed code.
QString NotHexTagCodeText(const QString &code, const QString &whose = QString());

// After a phone list was loaded into `table`: every tag code's letters in
// upper case; a code holding any other character is not taken (its record
// keeps an empty code), and one message names those records.  Returns how
// many codes were refused.  The cursor ends on the first record.
int TakeLoadedTagCodes(RecordTable &table);
