#include "startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    return lcj::runProgram(argc, argv, [](QWidget&) { return QApplication::exec(); });
}
