#pragma once

#include <QSerialPort>
#include <QString>

// Opens `port` on `device` with the unit's line settings, as the program
// does: `baud` (57600 direct, 9600 behind a modem), 8 data bits, no parity,
// one stop bit.  The simulated unit garbles its answers to any other.
inline bool OpenSerialLine(QSerialPort &port, const QString &device, qint32 baud = 57600)
{
    port.setPortName(device);
    port.setBaudRate(baud);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    return port.open(QIODevice::ReadWrite);
}
