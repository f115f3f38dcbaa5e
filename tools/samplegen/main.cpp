#include "common/gbk.h"
#include "samplegame.h"

#include <QCoreApplication>
#include <cstdio>

// lcjsamplegen FOLDER: writes the invented sample game into FOLDER.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: lcjsamplegen FOLDER\n");
        return 2;
    }
    if (!lcj::gbk::available()) {
        std::fprintf(stderr, "GBK is not available in this Qt build\n");
        return 1;
    }
    if (auto failure = lcj::sample::writeSampleGame(args[1])) {
        std::fprintf(stderr, "%s\n", failure->toUtf8().constData());
        return 1;
    }
    return 0;
}
