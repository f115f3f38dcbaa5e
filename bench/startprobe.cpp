// lcj_start_probe: the program started exactly as main() starts it, ending
// once its main window has been painted, for the start time measured from
// outside (shell_bench).
#include "firstpaint.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return lcj::runProgram(
        argc, argv, [](QWidget& window) { return lcj::bench::waitForFirstPaint(&window) ? 0 : 1; });
}
