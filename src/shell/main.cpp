#include "common/version.h"
#include "startup.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    // Answered without opening a window; every other argument goes to Qt.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0) {
            std::fputs("usage: lcjworkshop\n"
                       "  opens the workshop's window.\n"
                       "  --help     this text\n"
                       "  --version  the program's version\n",
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
