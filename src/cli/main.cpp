// lcjtool: the batch command line over the editors' own forms.
#include "cli.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>
#ifndef Q_OS_WIN
#include <csignal>
#endif

namespace {

// Drawing text needs the fonts of a GUI application; the other commands do not.
bool drawsPictures(int argc, char* argv[]) {
    return argc > 2 && qstrcmp(argv[1], "scenario") == 0 && qstrcmp(argv[2], "map") == 0;
}

} // namespace

int main(int argc, char* argv[]) {
#ifndef Q_OS_WIN
    // Output into a pipe whose reader has gone fails like any other failed
    // write, so that lcjtool can say so and exit non-zero, not die silently.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    std::unique_ptr<QCoreApplication> app;
    if (drawsPictures(argc, argv)) {
        // No window is shown: pictures are drawn without a screen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return lcj::cli::run(args);
}
