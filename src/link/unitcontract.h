#pragma once

#include <QLatin1String>

// What the program relies on the unit to do, stated once.  Command texts,
// reply markers, line positions and fixed numbers of the unit protocol live
// here and nowhere else.
namespace UnitContract {

// --- link ---
constexpr quint16 kUdpPort = 8000;
constexpr qint32 kDirectBaud = 57600;
constexpr qint32 kModemBaud = 9600;

// --- framing ---
constexpr char kCommandEnd = '\r';
inline const QLatin1String kReplyLineEnd("\r\n");
inline const QLatin1String kOkMarker("OK");
inline const QLatin1String kModemConnectMarker("CONNECT");

} // namespace UnitContract
