#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// The unit's serial port: the master side of a pseudo-terminal in raw mode,
// so that every byte 0x00-0xFF passes unchanged.  The program opens the
// slave side, directly or through the name published in the per-user ports
// folder.  Output is queued and never blocks; it may be paced to a line's
// byte rate, as a real cable would deliver it.
class PtyPort : public QObject {
    Q_OBJECT
public:
    explicit PtyPort(QObject *parent = nullptr);
    ~PtyPort() override;

    bool open(QString *error);
    bool isOpen() const { return m_master >= 0; }
    // The slave device (/dev/pts/N).
    QString slavePath() const { return m_slavePath; }

    // Publishes the port as `name` (at most 6 plain characters): a symbolic
    // link in portsFolder() to the slave, removed again with this object.
    // Beside it a lock file (lockPath()) stays locked while this unit lives:
    // a unit that was killed leaves its link behind, but not the lock, so
    // the next unit of that name takes the link over and the program never
    // lists it (the terminal a dead link led to may have gone to another
    // program meanwhile).
    bool publish(const QString &name, QString *error);
    static QString lockPath(const QString &link);
    QString publishedPath() const { return m_published; }
    // $XDG_RUNTIME_DIR/ostikit/ports, or /tmp/ostikit-UID/ports without it.
    static QString portsFolder();
    static bool isPortName(const QString &name);

    // Bytes a second the output may leave at; 0 for as fast as it is taken.
    void setByteRate(int bytesPerSecond) { m_byteRate = qMax(0, bytesPerSecond); }

    // The line settings the program's side set on the terminal, as the unit
    // would meet them on its wire.  A pseudo-terminal carries the speed
    // across; data bits, parity and stop bits are read as the terminal has
    // them.
    struct LineSettings {
        int baud = 0;
        int dataBits = 8;
        bool parity = false;
        int stopBits = 1;
        friend bool operator==(const LineSettings &, const LineSettings &) = default;
    };
    LineSettings lineSettings() const;
    // Whether the program's side holds the port open now (opens and closes
    // not yet seen are taken into account first).
    bool programSideOpen();
    static QString describe(const LineSettings &settings);
    void write(const QByteArray &bytes);
    qsizetype pendingOutput() const { return m_out.size(); }
    // Bytes inside the terminal not yet read: by the program (what the unit
    // wrote) and by the unit (what the program wrote).
    int unreadByProgram() const;
    int unreadByUnit() const;

    // Closes the terminal (and unpublishes it): the program's side then
    // finds its device gone, as when a USB adapter is pulled out.
    void close();

signals:
    void received(const QByteArray &bytes);
    // The program's side closed the port (every descriptor but the unit's
    // own): a hang-up, as a unit that watches the line sees it.
    void hungUp();

private:
    void readMaster();
    void flushOutput();
    void watchOpens();
    void readOpens();

    int m_master = -1;
    int m_slaveKeep = -1; // held open so that the master never reads EIO
    QString m_slavePath;
    QString m_published;
    int m_lockFd = -1; // the lock beside the published link
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    int m_inotify = -1;            // opens and closes of the slave device
    QSocketNotifier *m_openNotifier = nullptr;
    int m_programOpens = 0;        // descriptors of the program's side open now
    QByteArray m_out;
    int m_byteRate = 0;
    QTimer m_pace;
    QElapsedTimer m_burst;
    qint64 m_burstSent = 0;
};
