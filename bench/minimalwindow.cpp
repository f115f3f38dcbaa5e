// The floor the program's start and memory are measured against: a minimal
// Qt 6 window holding a list of 600 rows, nothing else.
//   lcj_minimal_window start [chinese]    prints when the window is first
//                                         painted (the monotonic clock, in ns)
//   lcj_minimal_window memory [chinese]   prints its peak resident memory in KB
// The rows read "Row 1"...; with "chinese" they read "第1行"..., which loads a
// CJK font as every window of the program must.
#include "firstpaint.h"

#include <QApplication>
#include <QListWidget>
#include <QMainWindow>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QMainWindow window;
    auto* list = new QListWidget;
    const bool chinese = argc > 2 && qstrcmp(argv[2], "chinese") == 0;
    for (int row = 0; row < 600; ++row)
        list->addItem((chinese ? QStringLiteral("第%1行") : QStringLiteral("Row %1")).arg(row + 1));
    window.setCentralWidget(list);
    window.resize(1180, 860);
    window.show();
    if (!lcj::bench::waitForFirstPaint(&window))
        return 1;
    if (argc > 1 && qstrcmp(argv[1], "start") == 0)
        lcj::bench::printFirstPaintTime();
    if (argc > 1 && qstrcmp(argv[1], "memory") == 0) {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%ld\n", usage.ru_maxrss);
    }
    return 0;
}
