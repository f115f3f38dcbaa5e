#include "common/version.h"
#include "startup.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    // Answered without opening a window; every other argument goes to Qt.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0) {
            std::fputs("usage: lcjworkshop [PATH...]\n"
                       "  opens the workshop's window.\n"
                       "  PATH       a game folder to open as the game folder, a game file\n"
                       "             (data.e5, S_??.eex, R_??.eex, Sv??d.e5s, Imsg.e5, *.exe,\n"
                       "             *.bmp) to open in its editor, or a .lcjpatch to open in\n"
                       "             the patch window\n"
                       "  --help     this text\n"
                       "  --version  the program's version\n"
                       "Settings are kept in lcjworkshop.ini beside the program when that file\n"
                       "exists (portable use), otherwise in the user's profile. When the program\n"
                       "runs already with the same settings, the PATHs open in its window.\n",
                       stdout);
            return 0;
        }
        if (qstrcmp(argv[i], "--version") == 0) {
            std::fputs("lcjworkshop " LCJ_VERSION "\n", stdout);
            return 0;
        }
    }
    return lcj::runProgram(argc, argv, [](QWidget&) { return QApplication::exec(); });
}
