#include "common/version.h"
#include "picgen.h"

#include <QGuiApplication>
#include <cstdio>
#include <utility>
#include <vector>

namespace lcj::pictures {

namespace {

std::vector<std::pair<const char16_t*, Painter>>& families() {
    static std::vector<std::pair<const char16_t*, Painter>> all;
    return all;
}

} // namespace

bool add(const char16_t* family, Painter painter) {
    families().emplace_back(family, painter);
    return true;
}

} // namespace lcj::pictures

namespace {

const char usage[] = "usage: lcjpicgen FOLDER\n"
                     "  draws every picture of the picture folder into FOLDER.\n"
                     "  --help     this text\n"
                     "  --version  the program's version\n";

} // namespace

// lcjpicgen FOLDER: draws every picture family into FOLDER.
int main(int argc, char* argv[]) {
    // The options first: they need no screen.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (qstrcmp(argv[i], "--version") == 0) {
            std::fputs("lcjpicgen " LCJ_VERSION "\n", stdout);
            return 0;
        }
    }
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i)
        if (args[i].startsWith(u'-')) {
            std::fprintf(stderr, "lcjpicgen: unknown option %s\n%s", qPrintable(args[i]), usage);
            return 2;
        }
    if (args.size() != 2) {
        std::fputs(usage, stderr);
        return 2;
    }
    QDir folder(args[1]);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(args[1]));
        return 1;
    }
    for (const auto& [family, painter] : lcj::pictures::families())
        if (!painter(folder)) {
            std::fprintf(stderr, "cannot draw %s\n", qPrintable(QString::fromUtf16(family)));
            return 1;
        }
    return 0;
}
