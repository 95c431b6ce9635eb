#pragma once

#include "common/messages.h"

#include <QApplication>
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// One application object for the whole run: some of the code under test
// needs one (timers, widgets offscreen).
inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
        // A message the code under test shows is answered at once (No): a
        // modal box would hold the run until libFuzzer's time-out.
        MessageService::setHandler([](const MessageService::Message &) { return false; });
    }
}

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Every byte 0x00-0xFF as one character, as the link converts them.
inline QString fuzzText(const uint8_t *data, size_t size) { return QString::fromLatin1(fuzzBytes(data, size)); }
