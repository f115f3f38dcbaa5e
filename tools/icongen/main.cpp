#include "common/gui/appicon.h"
#include "common/version.h"
#include "icofile.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>
#include <cstdio>

namespace {

const char usage[] = "usage: lcjicongen FOLDER\n"
                     "  draws the program's icons into FOLDER: lcjworkshop.ico (the program),\n"
                     "  lcjpatch.ico (a mod patch), hicolor/<size>/apps/lcjworkshop.png and\n"
                     "  lcjsetup.bmp (the setup program's picture, at twice its size).\n"
                     "  --help     this text\n"
                     "  --version  the program's version\n";

bool write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
        !file.commit()) {
        std::fprintf(stderr, "lcjicongen: cannot write %s\n",
                     qPrintable(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
}

// Qt's own BMP writer gives what the setup program's pages load: 24 bits a
// pixel, rows from the bottom up, no compression.
QByteArray bmpOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP") ? bytes : QByteArray();
}

QByteArray icoOf(QImage (*draw)(int)) {
    QList<QImage> images;
    for (int side : lcj::icons::iconFileSizes())
        images << draw(side);
    return lcj::icongen::icoFile(images);
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    for (const QString& arg : args) {
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (arg == QLatin1String("--version")) {
            std::fputs("lcjicongen " LCJ_VERSION "\n", stdout);
            return 0;
        }
        if (arg.startsWith(u'-')) {
            std::fprintf(stderr, "lcjicongen: unknown option %s\n%s", qPrintable(arg), usage);
            return 2;
        }
    }
    if (args.size() != 1) {
        std::fputs(usage, stderr);
        return 2;
    }
    const QDir folder(args[0]);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "lcjicongen: cannot make %s\n", qPrintable(args[0]));
        return 1;
    }
    bool ok =
        write(folder.filePath(QStringLiteral("lcjworkshop.ico")), icoOf(lcj::icons::drawAppIcon));
    ok = write(folder.filePath(QStringLiteral("lcjpatch.ico")), icoOf(lcj::icons::drawPatchIcon)) &&
         ok;
    // Twice the page's room: sharp up to a display scale of 200 %.
    ok = write(folder.filePath(QStringLiteral("lcjsetup.bmp")),
               bmpOf(lcj::icons::drawSetupPicture(2))) &&
         ok;
    // The Linux desktop's sizes: sharp where the svg would be drawn blurred.
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QString apps = QStringLiteral("hicolor/%1x%1/apps").arg(side);
        if (!folder.mkpath(apps)) {
            std::fprintf(stderr, "lcjicongen: cannot make %s\n", qPrintable(folder.filePath(apps)));
            ok = false;
            continue;
        }
        const QString path = folder.filePath(apps + QStringLiteral("/lcjworkshop.png"));
        if (!lcj::icons::drawAppIcon(side).save(path, "PNG")) {
            std::fprintf(stderr, "lcjicongen: cannot write %s\n", qPrintable(path));
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
