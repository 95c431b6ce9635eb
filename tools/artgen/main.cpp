// artgen: draws every picture OstiKit carries in its resources and writes
// them into the given folder (normally src/gui/widgets/resources), then reads them
// back and checks them.

#include "outputcheck.h"
#include "panelpictures.h"
#include "toolbaricons.h"
#include "transferpictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTextStream>

namespace {

bool save(const QImage &img, const QString &path, const char *format, int quality, QTextStream &err)
{
    if (img.isNull() || !img.save(path, format, quality)) {
        err << "artgen: cannot write " << path << Qt::endl;
        return false;
    }
    return true;
}

// Prints every problem; true when there were none.
bool reportProblems(const QStringList &problems, QTextStream &err)
{
    for (const QString &problem : problems)
        err << "artgen: " << problem << Qt::endl;
    return problems.isEmpty();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments();
    args.removeFirst();
    // --check only reads an existing folder, e.g. the committed pictures.
    const bool checkOnly = args.size() == 2 && args.first() == QStringLiteral("--check");
    if (checkOnly)
        args.removeFirst();
    if (args.size() != 1) {
        err << "usage: artgen [--check] <resource folder>" << Qt::endl;
        return 2;
    }
    const QDir dir(args.first());
    if (checkOnly)
        return reportProblems(outputcheck::check(dir.path()), err) ? 0 : 1;
    if (!QDir().mkpath(dir.filePath(QStringLiteral("toolbar")))) {
        err << "artgen: cannot create " << dir.filePath(QStringLiteral("toolbar")) << Qt::endl;
        return 1;
    }

    bool ok = true;
    for (int i = 0; i < toolbar::iconCount; ++i) {
        const QString name = QStringLiteral("toolbar/tb%1.png").arg(i, 2, 10, QLatin1Char('0'));
        ok &= save(toolbar::drawIcon(i), dir.filePath(name), "PNG", -1, err);
    }
    ok &= save(panelpictures::drawWindowIcon(), dir.filePath(QStringLiteral("ostikit.png")), "PNG", -1, err);
    ok &= save(panelpictures::drawAboutPicture(), dir.filePath(QStringLiteral("about.png")), "PNG", -1, err);
    ok &= save(panelpictures::drawClipStrip(), dir.filePath(QStringLiteral("rvxavi.png")), "PNG", -1, err);
    for (int n = 1; n <= 3; ++n) {
        const QString name = QStringLiteral("transfer%1.jpg").arg(n);
        ok &= save(transferpictures::drawPicture(n), dir.filePath(name), "JPG", 90, err);
    }
    if (!ok)
        return 1;

    if (!reportProblems(outputcheck::check(dir.path()), err))
        return 1;
    out << "artgen: wrote " << toolbar::iconCount + 6 << " pictures to " << dir.path() << Qt::endl;
    return 0;
}
