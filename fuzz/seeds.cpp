// lcj_fuzz_seeds FOLDER: writes each target's seed inputs, made from the
// sample game, to FOLDER/<target>/seed-N.
#include "targets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: lcj_fuzz_seeds FOLDER\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const auto& target : lcj::fuzz::targets()) {
        const QString name = QString::fromLatin1(target.name);
        root.mkpath(name);
        int n = 0;
        for (const QByteArray& seed : lcj::fuzz::seeds(name)) {
            QFile file(root.filePath(QStringLiteral("%1/seed-%2").arg(name).arg(n++)));
            if (!file.open(QIODevice::WriteOnly) || file.write(seed) != seed.size())
                return 1;
        }
    }
    return 0;
}
