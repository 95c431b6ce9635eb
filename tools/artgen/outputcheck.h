#pragma once

#include <QString>
#include <QStringList>

// Reads back what the generator wrote and lists every way it differs from
// what the program expects (sizes, transparency, the LED set, baseline
// JPEG). An empty list means the folder is good.
namespace outputcheck {

QStringList check(const QString &folder);

} // namespace outputcheck
