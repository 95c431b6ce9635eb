#include "widgets/pictures.h"

#include "widgets/jpegimage.h"

#include <QFile>
#include <QHash>

// The resources live in a static library: register them explicitly, once,
// since the linker may drop the library's own registration.
static void registerResources() { Q_INIT_RESOURCE(ostikit); }

void Pictures::ensureLoaded()
{
    static const bool once = (registerResources(), true);
    Q_UNUSED(once);
}

namespace {
QString resource(const QString &name)
{
    Pictures::ensureLoaded();
    return QStringLiteral(":/ostikit/") + name;
}
} // namespace

QIcon Pictures::toolbar(int index)
{
    static QHash<int, QIcon> cache;
    if (index < 0 || index >= kToolbarCount)
        return {};
    auto it = cache.find(index);
    if (it == cache.end())
        it = cache.insert(index, QIcon(resource(QStringLiteral("toolbar/tb%1.png").arg(index, 2, 10, QLatin1Char('0')))));
    return *it;
}

QIcon Pictures::windowIcon() { return QIcon(resource(QStringLiteral("ostikit.png"))); }

QPixmap Pictures::aboutPicture() { return QPixmap(resource(QStringLiteral("about.png"))); }

QPixmap Pictures::clip(const QString &name) { return QPixmap(resource(name + QStringLiteral(".png"))); }

QPixmap Pictures::transfer(int number)
{
    QFile file(resource(QStringLiteral("transfer%1.jpg").arg(number)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QPixmap::fromImage(DecodeJpeg(file.readAll()));
}
