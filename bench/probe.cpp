// lcj_probe: the program as a user starts it, for measurements from outside.
//   lcj_probe memory   opens every editor through the main window, each with
//                      a sample file loaded, and prints the peak resident
//                      memory in KB (getrusage)
//   lcj_probe stages   as memory, and prints to stderr the resident memory
//                      after each step and the heap in use then, with what
//                      the step added to it (each editor's own heap), to
//                      find where it goes
#include "common/gbk.h"
#include "common/gui/appicon.h"
#include "common/ui/workshopstyle.h"
#include "firstpaint.h"
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QMap>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace lcj;
using lcj::bench::waitForFirstPaint;

namespace {

bool showStages = false;
QElapsedTimer sinceMain;

// Resident memory now, in KB.
long residentKb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : 0;
}

// The bytes the heap holds for the program now, in KB (0 where unknown).
long heapKb() {
#ifdef __GLIBC__
    const struct mallinfo2 info = mallinfo2();
    return long((info.uordblks + info.hblkhd) / 1024);
#else
    return 0;
#endif
}

void stage(const char* name) {
    static long heapBefore = 0;
    if (!showStages)
        return;
    const long heap = heapKb();
    std::fprintf(stderr, "%-28s %7ld KB  heap %6ld KB (%+6ld KB) %6.1f ms\n", name, residentKb(),
                 heap, heap - heapBefore, sinceMain.nsecsElapsed() / 1e6);
    heapBefore = heap;
}

// The largest resident mappings (libraries, fonts, heap), to stderr.
void showMappings() {
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return;
    QMap<QByteArray, long> byName;
    QByteArray name;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 5 && fields[0].contains('-'))
            name = fields.size() >= 6 ? fields[5] : QByteArrayLiteral("[anonymous]");
        else if (fields.size() >= 2 && fields[0] == "Rss:")
            byName[name] += fields[1].toLong();
    }
    QList<std::pair<long, QByteArray>> sorted;
    for (auto it = byName.cbegin(); it != byName.cend(); ++it)
        sorted.append({it.value(), it.key()});
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    for (const auto& [kb, mapping] : sorted.mid(0, 20))
        std::fprintf(stderr, "  %7ld KB  %s\n", kb, mapping.constData());
}

void trigger(QWidget* root, const char* name) {
    if (auto* action = root->findChild<QAction*>(QString::fromLatin1(name)))
        action->trigger();
    else
        qFatal("no action %s", name);
    QApplication::processEvents();
}

QWidget* openEditor(MainWindow& main, const char* entry, const char* window) {
    trigger(&main, entry);
    stage(entry);
    auto* editor = main.findChild<QWidget*>(QString::fromLatin1(window));
    if (!editor)
        qFatal("no editor %s", window);
    return editor;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    sinceMain.start();
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    showStages = mode == QStringLiteral("stages");
    if (mode != QStringLiteral("memory") && !showStages) {
        std::fprintf(stderr, "usage: lcj_probe memory|stages\n");
        return 2;
    }
    stage("before the application");
    // As main() starts the program (shell/startup.cpp), with scripted prompts.
    QApplication app(argc, argv);
    QApplication::setStyle(new WorkshopStyle);
    QApplication::setApplicationName(QStringLiteral("岚川记数据工坊"));
    QApplication::setWindowIcon(icons::appIcon());
    loadQtTranslation();
    stage("application");
    if (!gbk::available())
        return 1;
    stage("GBK check");
    test::ScriptedPrompts prompts;
    MainWindow main(prompts);
    stage("main window built");
    main.show();
    if (!waitForFirstPaint(&main))
        return 1;
    stage("main window painted");
    if (showStages)
        showMappings();
    QTemporaryDir dir;
    if (!sample::writeSampleGame(dir.path()).ok())
        return 1;
    const auto file = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };

    QWidget* data = openEditor(main, "dataedit", "DForm");
    prompts.openAnswers.enqueue(file("data.e5"));
    trigger(data, "fileop");
    for (const char* section : {"renpre", "daopre", "shoppre", "binpre", "dipfe", "chepre"})
        trigger(data, section);
    stage("data sections");

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
    stage("message categories");

    QWidget* scenario = openEditor(main, "sedit", "Junben");
    prompts.openAnswers.enqueue(file("data.e5"));
    trigger(scenario, "dataopen");
    prompts.openAnswers.enqueue(file("S_01.eex"));
    trigger(scenario, "sopen");
    stage("scenario loaded");

    // The map viewer lists the maps of the editor's folder; the largest is shown.
    QWidget* map = openEditor(main, "map", "Form1");
    if (auto* files = map->findChild<QListWidget*>(QStringLiteral("File1")); files->count() > 0)
        files->setCurrentRow(files->count() - 1);
    QApplication::processEvents();
    stage("map shown");
    if (showStages)
        showMappings();

    if (!prompts.messages.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(prompts.lastMessage()));
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    if (showStages) {
        // Every anonymous mapping with its resident size: heaps, thread stacks, caches.
        QFile smaps(QStringLiteral("/proc/self/smaps"));
        if (smaps.open(QIODevice::ReadOnly)) {
            QByteArray range;
            bool anonymous = false;
            for (const QByteArray& line : smaps.readAll().split('\n')) {
                const QList<QByteArray> fields = line.simplified().split(' ');
                if (fields.size() >= 5 && fields[0].contains('-')) {
                    range = fields[0];
                    anonymous = fields.size() < 6;
                } else if (anonymous && fields.size() >= 2 && fields[0] == "Rss:" &&
                           fields[1].toLong() >= 256)
                    std::fprintf(stderr, "  anonymous %s %ld KB\n", range.constData(),
                                 fields[1].toLong());
            }
        }
    }
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}
