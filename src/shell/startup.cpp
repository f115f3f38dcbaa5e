#include "startup.h"

#include "common/gbk.h"
#include "common/gui/appicon.h"
#include "common/ui/prompts.h"
#include "common/ui/settings.h"
#include "common/ui/workshopstyle.h"
#include "common/writejournal.h"
#include "mainwindow.h"
#include "recovery.h"
#include "singleinstance.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

namespace lcj {

bool loadQtTranslation() {
    // Beside the program first (the Windows build carries it there), then
    // where Qt keeps its translations (Debian's qt6-translations-l10n).
    const QStringList folders{QCoreApplication::applicationDirPath() +
                                  QStringLiteral("/translations"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    auto* translator = new QTranslator(QCoreApplication::instance());
    for (const QString& folder : folders)
        if (translator->load(QStringLiteral("qtbase_zh_CN"), folder))
            return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}

void openArguments(MainWindow& window, const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1))
        if (!argument.startsWith(u'-'))
            window.openFromOutside(argument);
}

QStringList pathArguments(const QStringList& arguments) {
    QStringList paths;
    for (const QString& argument : arguments.mid(1))
        if (!argument.startsWith(u'-'))
            paths << QFileInfo(argument).absoluteFilePath();
    return paths;
}

void bringToFront(QWidget& window) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

int runProgram(int& argc, char** argv, const std::function<int(QWidget& mainWindow)>& run) {
    QApplication app(argc, argv);
    QApplication::setStyle(new WorkshopStyle);
    QApplication::setApplicationName(QStringLiteral("岚川记数据工坊"));
    QApplication::setOrganizationName(QStringLiteral("lcjworkshop"));
    // A settings file beside the program keeps them there; else the user's profile.
    // Tests and probes choose a place of their own first.
    if (!settings::kept())
        settings::useProgramSettings(QCoreApplication::applicationDirPath());
    // One program for each place the settings are kept: a later start hands its paths over.
    SingleInstance instance(SingleInstance::serverName(settings::location()));
    if (instance.handOverOrListen(pathArguments(QCoreApplication::arguments())))
        return 0;
    QApplication::setWindowIcon(icons::appIcon());
    // Without it the standard dialogs read in English; the program works on.
    loadQtTranslation();
    if (!gbk::available()) {
        QMessageBox::critical(nullptr, QStringLiteral("岚川记数据工坊"),
                              QStringLiteral("本机的Qt缺少GBK编码支持（需要带ICU的Qt 6），"
                                             "无法正确读写游戏文件，程序将退出。"));
        return 1;
    }
    DialogPrompts prompts;
    MainWindow window(prompts);
    QObject::connect(&instance, &SingleInstance::pathsReceived, &window,
                     [&window](const QStringList& paths) {
                         bringToFront(window);
                         for (const QString& path : paths)
                             window.openFromOutside(path);
                     });
    // A save that finished or undid what a stopped write left in its folder
    // says so once the save is done.
    Prompts& tell = prompts;
    files::setJournalReport([&window, &tell](const QString& line) {
        QTimer::singleShot(0, &window, [&window, &tell, line] {
            tell.showMessage(&window, line, QStringLiteral("岚川记数据工坊"));
        });
    });
    window.show();
    openArguments(window, QCoreApplication::arguments());
    // The edits a crashed or killed program left, once the window runs.
    QTimer::singleShot(0, &window, [&window, &prompts] {
        offerRecovery(window, prompts, settings::recoveryFolder());
    });
    const int code = run(window);
    files::setJournalReport({});
    return code;
}

} // namespace lcj
