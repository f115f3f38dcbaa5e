#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace lcj {
class DiskBar;
class FileWatch;
} // namespace lcj

namespace lcj::test {

// Another program changing a game file while an editor has it open: lcjtool,
// built beside the tests, run as a process of its own.
struct OutsideRun {
    int code = -1; // -1: did not start or did not finish
    QString err;
};
OutsideRun runLcjtool(const QStringList& args);
// The same for another program built beside the tests (lcjsamplegen).
OutsideRun runProgram(const QString& name, const QStringList& args);

// The watch of an editor's files and its bar, found by their names.
FileWatch* fileWatchOf(QWidget* editor);
DiskBar* diskBarOf(QWidget* editor);

} // namespace lcj::test
