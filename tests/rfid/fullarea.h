#pragma once

// The whole tag area (512 tags) written through the tag page of the real
// main window to the simulated unit.  Each case writes 128 blocks, so the
// page's own pauses are shortened here: what is checked is what reaches the
// unit and what the user is told, not how long it takes (bench_rfid
// measures that).

#include "rfidtestsupport.h"

#include "link/logon.h"
#include "messagerecorder.h"
#include "rfid/rfidpage.h"
#include "uidriver.h"

#include <QCoreApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>

namespace RfidTest {

inline QString areaCode(int i) { return QStringLiteral("%1").arg(0xA0000000ULL + ulong(i) * 7919, 10, 16, QLatin1Char('0')).toUpper(); }
inline QString areaRoom(int i) { return QString::number(100 + i); }

// The slot the unit must hold for tag i.
inline QByteArray areaSlot(int i)
{
    QByteArray code = areaCode(i).toLatin1();
    for (char &c : code)
        if (c >= 'A' && c <= 'F')
            c = char(c - 7);
    return areaRoom(i).toLatin1().leftJustified(6, '?') + code;
}

struct AreaRig {
    MessageRecorder messages;
    Simulator sim{unitOptions()};
    std::unique_ptr<TostiForm> form;

    bool start()
    {
        QFile::remove(QStringLiteral("Ostidata.ini"));
        if (!sim.startSerial(kPort))
            return false;
        form = std::make_unique<TostiForm>();
        emptyDirectory(*form);
        form->rfidPage->setTransferPause([](int) { QCoreApplication::processEvents(); });
        UiDriver::logOn(*form, kPort, UiDriver::LogOnAnswer{.pin = QStringLiteral("1234")});
        sim.clearCommands();
        return form->Link->LoggedOn && messages.texts().isEmpty();
    }

    void addTags(int count)
    {
        for (int i = 0; i < count; ++i)
            addRecord(form->DirectoryTable, QStringLiteral("R%1").arg(i), areaRoom(i), areaCode(i),
                      QStringLiteral("%1").arg(0x1000 + 32 * i, 4, 16, QLatin1Char('0')).toUpper());
    }
};

} // namespace RfidTest
