// lcj_probe: the program as a user starts it, for measurements from outside.
//   lcj_probe start    shows the main window and ends once it is on screen
//   lcj_probe memory   opens every editor through the main window, each with
//                      a sample file loaded, and prints the peak resident
//                      memory in KB (getrusage)
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace lcj;

namespace {

void trigger(QWidget* root, const char* name) {
    if (auto* action = root->findChild<QAction*>(QString::fromLatin1(name)))
        action->trigger();
    else
        qFatal("no action %s", name);
    QApplication::processEvents();
}

QWidget* openEditor(MainWindow& main, const char* entry, const char* window) {
    trigger(&main, entry);
    auto* editor = main.findChild<QWidget*>(QString::fromLatin1(window));
    if (!editor)
        qFatal("no editor %s", window);
    return editor;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    test::ScriptedPrompts prompts;
    MainWindow main(prompts);
    main.show();
    QApplication::processEvents();
    if (mode == QStringLiteral("start"))
        return main.isVisible() ? 0 : 1;
    if (mode != QStringLiteral("memory")) {
        std::fprintf(stderr, "usage: lcj_probe start|memory\n");
        return 2;
    }
    QTemporaryDir dir;
    if (sample::writeSampleGame(dir.path()))
        return 1;
    const auto file = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };

    QWidget* data = openEditor(main, "dataedit", "DForm");
    prompts.openAnswers.enqueue(file("data.e5"));
    trigger(data, "fileop");
    for (const char* section : {"renpre", "daopre", "shoppre", "binpre", "dipfe", "chepre"})
        trigger(data, section);

    QWidget* save = openEditor(main, "saveedit", "Record");
    prompts.openAnswers.enqueue(file("Sv01d.e5s"));
    trigger(save, "fileopen");

    QWidget* program = openEditor(main, "fileedit", "MainFile");
    prompts.openAnswers.enqueue(file("Lcj5.exe"));
    trigger(program, "mainopen");

    QWidget* messages = openEditor(main, "imsgedit", "Imsg");
    prompts.openAnswers.enqueue(file("Imsg.e5"));
    trigger(messages, "fileopen");
    for (const char* category :
         {"liezhuan", "wuping", "binzhong", "chetui", "zhiming", "chelue", "zandou"})
        trigger(messages, category);

    QWidget* scenario = openEditor(main, "sedit", "Junben");
    prompts.openAnswers.enqueue(file("data.e5"));
    trigger(scenario, "dataopen");
    prompts.openAnswers.enqueue(file("S_01.eex"));
    trigger(scenario, "sopen");

    // The map viewer lists the maps of the editor's folder; the largest is shown.
    QWidget* map = openEditor(main, "map", "Form1");
    if (auto* files = map->findChild<QListWidget*>(QStringLiteral("File1")); files->count() > 0)
        files->setCurrentRow(files->count() - 1);
    QApplication::processEvents();

    if (!prompts.messages.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(prompts.lastMessage()));
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}
