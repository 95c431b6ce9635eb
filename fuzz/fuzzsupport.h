#pragma once

#include "common/messages.h"

#include <QCoreApplication>
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// One application object for the whole run: some of the code under test
// needs one (timers); none of it needs a window.
inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        new QCoreApplication(argc, argv);
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
