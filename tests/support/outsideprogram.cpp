#include "outsideprogram.h"

#include "common/ui/filewatch.h"

#include <QCoreApplication>
#include <QProcess>
#include <QWidget>

namespace lcj::test {

OutsideRun runLcjtool(const QStringList& args) {
    return runProgram(QStringLiteral("lcjtool"), args);
}

OutsideRun runProgram(const QString& name, const QStringList& args) {
#ifdef Q_OS_WIN
    const QString program =
        QCoreApplication::applicationDirPath() + u'/' + name + QStringLiteral(".exe");
#else
    const QString program = QCoreApplication::applicationDirPath() + u'/' + name;
#endif
    QProcess process;
    process.start(program, args);
    OutsideRun run;
    if (process.waitForStarted(60000) && process.waitForFinished(120000) &&
        process.exitStatus() == QProcess::NormalExit)
        run.code = process.exitCode();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

FileWatch* fileWatchOf(QWidget* editor) {
    auto* watch = editor->findChild<FileWatch*>(QStringLiteral("filewatch"));
    if (!watch)
        qFatal("no file watch in %s", qPrintable(editor->objectName()));
    return watch;
}

DiskBar* diskBarOf(QWidget* editor) {
    auto* bar = editor->findChild<DiskBar*>(QStringLiteral("diskbar"));
    if (!bar)
        qFatal("no disk bar in %s", qPrintable(editor->objectName()));
    return bar;
}

} // namespace lcj::test
