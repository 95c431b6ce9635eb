#pragma once

#include "rfid/tagarea.h"

#include <QList>

class RecordTable;
class TakenAddrs;

// Empties the tag code of every directory record.
void ClearTagCodes(RecordTable &table);

// Merges the unit's tags into the directory, in slot order.  Each tag goes
// to the first record, in the table's current order, whose room equals the
// tag's room exactly and whose address is not yet taken; that record takes
// the code and its address is taken.  A tag that finds no such record gets
// a new record holding only the room, the code and the address "p" + the
// counter of `taken`.  Several tags of one room therefore go to several
// records of that room, one each, and the rest to new records.
//
// The cursor is left where the last change put it; callers that follow the
// cursor pause that first.  Returns the number of records created.
int MergeTags(RecordTable &table, const QList<TagEntry> &tags, TakenAddrs &taken);

// Row (from 0, current order) of the first record whose tag code is `code`
// exactly, or -1.  The cursor does not move.
int FindTagHolder(const RecordTable &table, const QString &code);
