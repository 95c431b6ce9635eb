// A settings file's bytes: loaded, applied to the page values, built into an
// image again and applied once more; the second round must give the values
// of the first (the file's own bytes need not survive: what the pages
// cannot show is normalised).
#include "fuzzsupport.h"

#include "common/errors.h"
#include "common/messages.h"
#include "settings/settingsimage.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {
bool sameValues(const SettingsValues &a, const SettingsValues &b)
{
    return a.system.numbers == b.system.numbers && a.system.relay2 == b.system.relay2 && a.system.ps1 == b.system.ps1
        && a.system.ps2 == b.system.ps2 && a.codes == b.codes && a.messages == b.messages
        && a.speedDials == b.speedDials;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    MessageService::setHandler([](const MessageService::Message &) { return false; });
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.sys"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    SettingsImage image;
    try {
        if (!image.load(path))
            return 0;
    } catch (const AppError &) {
        return 0;
    }
    SettingsValues first;
    image.apply(first);
    SettingsImage again;
    again.build(first);
    SettingsValues second;
    again.apply(second);
    if (!sameValues(first, second))
        std::abort();
    return 0;
}
