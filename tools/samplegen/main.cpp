#include "common/gbk.h"
#include "common/version.h"
#include "samplegame.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

const char usage[] = "usage: lcjsamplegen [--force] FOLDER\n"
                     "  writes an invented sample game into FOLDER; files already there are\n"
                     "  kept unless --force is given.\n"
                     "  --help     this text\n"
                     "  --version  the program's version\n";

} // namespace

// lcjsamplegen [--force] FOLDER: writes the invented sample game into FOLDER.
// Files already there are kept unless --force is given.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (args.contains(QStringLiteral("--version"))) {
        std::fputs("lcjsamplegen " LCJ_VERSION "\n", stdout);
        return 0;
    }
    const bool overwrite = args.removeAll(QStringLiteral("--force")) > 0;
    // An option not known here is a mistake, never a folder's name.
    for (const QString& a : args)
        if (a.startsWith(u'-')) {
            std::fprintf(stderr, "lcjsamplegen: unknown option %s\n%s", qPrintable(a), usage);
            return 2;
        }
    if (args.size() != 1) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (!lcj::gbk::available()) {
        std::fprintf(stderr, "GBK is not available in this Qt build\n");
        return 1;
    }
    if (auto failure = lcj::sample::writeSampleGame(args[0], overwrite); !failure.ok()) {
        std::fprintf(stderr, "%s\n", failure.error().toUtf8().constData());
        return 1;
    }
    return 0;
}
