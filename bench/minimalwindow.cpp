// The floor the program's start and memory are measured against: a minimal
// Qt 6 window holding a list of 600 rows, nothing else.
//   lcj_minimal_window start    ends once the window is on screen
//   lcj_minimal_window memory   prints its peak resident memory in KB
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
    for (int row = 0; row < 600; ++row)
        list->addItem(QStringLiteral("第%1行").arg(row));
    window.setCentralWidget(list);
    window.resize(1180, 860);
    window.show();
    if (!lcj::bench::waitForFirstPaint(&window))
        return 1;
    if (argc > 1 && qstrcmp(argv[1], "memory") == 0) {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%ld\n", usage.ru_maxrss);
    }
    return 0;
}
