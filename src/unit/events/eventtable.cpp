#include "events/eventtable.h"

#include "records/recordtable.h"

QList<RecordField> EventFields::all()
{
    return {RecordField::int16(Event),
            RecordField::text(RoomNumber, RoomNumberWidth),
            RecordField::text(Date, DateWidth),
            RecordField::text(Time, TimeWidth),
            RecordField::text(RlyNo, RlyNoWidth),
            RecordField::text(Source, SourceWidth),
            RecordField::text(Client, ClientWidth)};
}

void DefineEventTable(RecordTable &table)
{
    table.close();
    table.define(EventFields::all());
}
