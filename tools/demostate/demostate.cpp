// Writes the demonstration state of the simulated unit: a 500-resident
// building with about sixty residents, settings that differ from a new
// unit's, a few hundred events and some tags.  Encoded with the program's
// own encoders, so the unit holds exactly what OstiKit would have written.
//
//   ostikit-demo-state OUTPUT.json
#include "directory/directoryrecord.h"
#include "rfid/tagarea.h"
#include "rfid/tagblocks.h"
#include "settings/settingsblocks.h"
#include "settings/systemparameters.h"
#include "unitmemory.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTextStream>

namespace {
const char *const kSurnames[] = {"SMITH", "JONES", "TAYLOR", "BROWN", "WILLIAMS", "WILSON", "JOHNSON", "DAVIES",
                                 "ROBINSON", "WRIGHT", "THOMPSON", "EVANS", "WALKER", "WHITE", "ROBERTS", "GREEN",
                                 "HALL", "WOOD", "JACKSON", "CLARKE", "O'NEILL", "MUELLER", "GARCIA", "NOWAK"};
const char kInitials[] = "ABCDEFGHJKLMNPRSTW";

struct Resident {
    QString name, room, phone, code1, code2;
    QByteArray tag;
};

QList<Resident> residents()
{
    QRandomGenerator random(20261209); // the same building every time
    QList<Resident> list;
    for (int floor = 1; floor <= 6; ++floor) {
        for (int flat = 1; flat <= 10; ++flat) {
            Resident r;
            const int n = (floor - 1) * 10 + flat - 1;
            r.name = QStringLiteral("%1 %2").arg(QLatin1String(kSurnames[n % std::size(kSurnames)]))
                         .arg(QLatin1Char(kInitials[(n * 7) % (sizeof kInitials - 1)]));
            r.room = QString::number(floor * 100 + flat);
            r.phone = n % 9 == 0 ? QStringLiteral("9p0141%1").arg(random.bounded(1000000, 9999999))
                                 : QStringLiteral("07%1").arg(random.bounded(100000000, 999999999));
            r.code1 = n % 4 == 0 ? QString::number(random.bounded(1000, 9999)) : QString();
            r.code2 = n % 10 == 0 ? QString::number(random.bounded(1000, 9999)) : QString();
            list << r;
        }
    }
    list[7].name = QStringLiteral("CARETAKER");
    list[7].phone = QStringLiteral("01234567890#");
    return list;
}

QByteArray latin1(const QString &text) { return text.toLatin1(); }
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: ostikit-demo-state OUTPUT.json" << Qt::endl;
        return 2;
    }
    UnitMemory memory;

    // Settings that differ from a new unit's.
    SystemParameters system = SystemParameters::defaults();
    system.numbers[SystemBlock::Rt] = QStringLiteral("8");
    system.numbers[SystemBlock::Sil] = QStringLiteral("30");
    system.numbers[SystemBlock::Na] = QStringLiteral("25");
    system.ps1 |= SystemBlock::kPs1ShowClock | SystemBlock::kPs1KeylessMsg;
    memory.programBlock(0, latin1(EncodeSystemParameters(system)));
    memory.programBlock(1, latin1(EncodeRelayCodes({QStringLiteral("1234"), QStringLiteral("5678"),
                                                     QStringLiteral("2468"), QString(), QStringLiteral("1357"),
                                                     QString()})));
    SpeedDials dials{QStringLiteral("01234567890"), QStringLiteral("999"), QStringLiteral("0800123456"),
                     QString(), QString(), QString(), QString(), QStringLiteral("*21#")};
    memory.programBlock(8, latin1(EncodeSpeedDialBlock(dials, 0)));
    memory.programBlock(9, latin1(EncodeSpeedDialBlock(dials, 1)));
    Messages messages{QStringLiteral("  WELCOME TO"), QStringLiteral(" ELM COURT"),
                      QStringLiteral("KEY IN ROOM NUMBER THEN PRESS BELL"), QStringLiteral("DELIVERIES: PRESS 0"),
                      QStringLiteral("PRESS BELL"), QStringLiteral("FOR CARETAKER")};
    for (int block = 0; block < 4; ++block)
        memory.programBlock(12 + block, latin1(EncodeMessageBlock(messages, block)));
    memory.programBlock(5, latin1(EncodeDivertNumbers({QStringLiteral("07700900123"), QString(),
                                                        QStringLiteral("01234567890"), QString()})));
    memory.programBlock(2, latin1(EncodeDivertTimes({QStringLiteral("1800"), QStringLiteral("0800"),
                                                      QStringLiteral("2200"), QStringLiteral("0700")})));
    memory.programBlock(3, latin1(EncodeAccessCodes({QStringLiteral("1234"), QStringLiteral("4321"), QString(),
                                                      QString(), QStringLiteral("999"), QString(), QString(),
                                                      QString()})));

    // The directory, a slot each from the first.
    const QList<Resident> people = residents();
    for (int i = 0; i < people.size(); ++i) {
        const Resident &r = people.at(i);
        memory.directory[DirectoryLayout::FirstAddress + i * DirectoryLayout::SlotSize] =
            latin1(DirectoryRecordText(r.room, r.code1, r.code2, QString(), r.phone, r.name));
    }

    // Tags for every third resident, four to a block from the first.
    QString tagArea;
    for (int i = 0; i < people.size(); i += 3) {
        const QString code = QStringLiteral("%1").arg(0x3A00000000LL + qint64(i) * 0x1F3B5, 10, 16, QLatin1Char('0'))
                                 .toUpper();
        tagArea += TagSlotText(people.at(i).room, code);
    }
    for (int at = 0, block = TagAreaLayout::kFirstBlock; at < tagArea.size(); at += TagAreaLayout::kBlockLength)
        memory.programBlock(block++, latin1(tagArea.mid(at, TagAreaLayout::kBlockLength)));

    // A few weeks of events, oldest first.
    QRandomGenerator random(42);
    QDateTime when(QDate(2026, 11, 2), QTime(7, 12, 5));
    for (int i = 0; i < 300; ++i) {
        SimEvent event;
        const int pick = random.bounded(20);
        const Resident &r = people.at(random.bounded(int(people.size())));
        if (pick < 14) {
            event.kind = SimEvent::Kind::Room;
            event.room = latin1(r.room);
            event.client = latin1(r.name);
            event.source = pick < 11 ? '0' : (pick < 13 ? '2' : '1');
        } else if (pick < 17) {
            event.kind = SimEvent::Kind::InCall;
            event.source = '1';
        } else if (pick < 19) {
            event.kind = SimEvent::Kind::Button;
            event.button = char('1' + random.bounded(4));
        } else {
            event.kind = SimEvent::Kind::Error;
        }
        event.relay = random.bounded(5) == 0 ? '2' : '1';
        event.time = when;
        memory.events << event;
        when = when.addSecs(random.bounded(300, 7200));
    }

    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(memory.toJson()) < 0) {
        err << "cannot write " << out.fileName() << Qt::endl;
        return 1;
    }
    return 0;
}
