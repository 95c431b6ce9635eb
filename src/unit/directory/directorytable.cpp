#include "directory/directorytable.h"

#include "records/recordtable.h"

QList<RecordField> DirectoryFields::all()
{
    return {RecordField::text(Name, NameWidth),         RecordField::text(RoomNumber, RoomNumberWidth),
            RecordField::text(PHnumber, PHnumberWidth), RecordField::text(Code1, CodeWidth),
            RecordField::text(Code2, CodeWidth),        RecordField::text(Spare, SpareWidth),
            RecordField::text(RFID, RFIDWidth),         RecordField::text(Addr, AddrWidth)};
}

void DefineDirectoryTable(RecordTable &table)
{
    table.close();
    table.define(DirectoryFields::all());
}
