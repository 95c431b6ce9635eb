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
    bool publish(const QString &name, QString *error);
    QString publishedPath() const { return m_published; }
    // $XDG_RUNTIME_DIR/ostikit/ports, or /tmp/ostikit-UID/ports without it.
    static QString portsFolder();
    static bool isPortName(const QString &name);

    // Bytes a second the output may leave at; 0 for as fast as it is taken.
    void setByteRate(int bytesPerSecond) { m_byteRate = qMax(0, bytesPerSecond); }
    void write(const QByteArray &bytes);
    qsizetype pendingOutput() const { return m_out.size(); }

    // Closes the terminal (and unpublishes it): the program's side then
    // finds its device gone, as when a USB adapter is pulled out.
    void close();

signals:
    void received(const QByteArray &bytes);

private:
    void readMaster();
    void flushOutput();

    int m_master = -1;
    int m_slaveKeep = -1; // held open so that the master never reads EIO
    QString m_slavePath;
    QString m_published;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_out;
    int m_byteRate = 0;
    QTimer m_pace;
    QElapsedTimer m_burst;
    qint64 m_burstSent = 0;
};
