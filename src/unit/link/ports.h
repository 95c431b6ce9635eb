#pragma once

#include <QString>
#include <QStringList>

// The serial ports a user can choose, each by a short identity (at most
// kMaxPortIdentityLength characters) that the link-details file can hold.
//
// On Linux an identity is the device name without its leading "tty"
// (ttyS0 -> S0, ttyUSB0 -> USB0).  Other programs (a simulated unit, for
// one) publish virtual ports as symbolic links in a per-user runtime folder;
// the link's name is the identity.  On Windows the identities are the port
// names the system registers (COM1, ...).

constexpr int kMaxPortIdentityLength = 6;

// The system's serial ports, in the system's order, followed on Linux by the
// virtual ports of the runtime folder.  Only identities that can be opened
// again by their name are listed (at most 6 plain characters each).
QStringList SystemSerialPorts();

// The virtual ports published in RuntimePortsFolder(): living symbolic links
// whose names are identities, in name order.  A name that a system device
// already answers to is left out, since the identity opens the device; so is
// a link whose publisher has gone (the lock file ".NAME.lock" beside it is
// held by nobody).
QStringList VirtualSerialPorts();

// Where virtual ports are published: $XDG_RUNTIME_DIR/ostikit/ports, or
// /tmp/ostikit-UID/ports when that variable is unset or empty.
QString RuntimePortsFolder();

// What QSerialPort must open for an identity: /dev/tty<id> for a system
// device, the device that the link in the runtime folder leads to for a
// virtual port (on Windows the name itself).  An identity that cannot name a port (empty, or holding a
// path separator) gives an empty text, which no port opens.
QString SerialPortLocation(const QString &identity);

#ifndef Q_OS_WIN
// Where a system device of an identity is looked for: "/dev/tty" followed by
// the identity.  Tests give a folder of their own, so that a device of any
// name can be tried on a machine without serial ports; empty: "/dev/tty".
void SetSerialDevicePrefix(const QString &prefix);
#endif
