#include "common/gbk.h"
#include "samplegame.h"

#include <QCoreApplication>
#include <cstdio>

// lcjsamplegen [--force] FOLDER: writes the invented sample game into FOLDER.
// Files already there are kept unless --force is given.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    const bool overwrite = args.removeAll(QStringLiteral("--force")) > 0;
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: lcjsamplegen [--force] FOLDER\n");
        return 2;
    }
    if (!lcj::gbk::available()) {
        std::fprintf(stderr, "GBK is not available in this Qt build\n");
        return 1;
    }
    if (auto failure = lcj::sample::writeSampleGame(args[1], overwrite)) {
        std::fprintf(stderr, "%s\n", failure->toUtf8().constData());
        return 1;
    }
    return 0;
}
