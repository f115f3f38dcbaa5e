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

// lcjpicgen FOLDER: draws every picture family into FOLDER.
int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: lcjpicgen FOLDER\n");
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
