// lcj_start_probe: the program started exactly as main() starts it; prints
// when its main window is first painted (the monotonic clock, in ns) and ends,
// for the start time measured from outside (shell_bench).
#include "common/ui/settings.h"
#include "firstpaint.h"
#include "shell/startup.h"

#include <QTemporaryDir>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings of its own: never handed to a program the user runs.
    QTemporaryDir settings;
    lcj::settings::useFile(settings.filePath(QStringLiteral("lcjworkshop.ini")));
    return lcj::runProgram(argc, argv, [](QWidget& window) {
        if (!lcj::bench::waitForFirstPaint(&window))
            return 1;
        lcj::bench::printFirstPaintTime();
        return 0;
    });
}
