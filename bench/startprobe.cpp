// lcj_start_probe: the program started exactly as main() starts it, as a user
// starts it (with no argument); prints when its main window is first painted
// (the monotonic clock, in ns) and ends, for the start time measured from
// outside (shell_bench). Its settings are never the user's: shell_bench gives
// it a settings folder of its own (XDG_CONFIG_HOME), and started by hand
// without one it makes a temporary one, so that no remembered game folder is
// opened.
#include "firstpaint.h"
#include "shell/startup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::optional<QTemporaryDir> settings;
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME")) {
        settings.emplace(QDir::tempPath() + QStringLiteral("/lcj_start_probe-XXXXXX"));
        if (!settings->isValid())
            return 1;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings->path()));
    }
    return lcj::runProgram(argc, argv, [](QWidget& window) {
        if (!lcj::bench::waitForFirstPaint(&window))
            return 1;
        lcj::bench::printFirstPaintTime();
        return 0;
    });
}
