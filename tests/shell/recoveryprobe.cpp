// The program as RecoveryTest drives it from outside: the real start-up (runProgram) with the
// game files named on its command line, and then, by LCJ_PROBE:
// - "edit": a change in each editor as a user makes it (the data editor's table, the save
//   editor's 确定, the scenario's army entry moved and one appended, the R file's deployment
//   count typed), left unsaved; the bytes each editor holds
//   are written to LCJ_PROBE_OUT/<file name>, and "edits made" is said on stderr. The
//   program then waits to be killed.
// - "recover": the start's question answered with Enter (DialogKeys on the real box), then
//   every document holding edits saved and "saved N" said; the program ends.
#include "common/ui/editorwindow.h"
#include "fields/ui/fieldtableview.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"
#include "shell/workspace.h"
#include "support/dialogkeys.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdio>

using namespace lcj;

namespace {

void say(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

template <class T> T* in(QWidget& window, const char* editor, const char* name) {
    auto* holder = window.findChild<QWidget*>(QString::fromLatin1(editor));
    T* found = holder ? holder->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!found)
        say(QStringLiteral("no control %1 in %2")
                .arg(QString::fromLatin1(name), QString::fromLatin1(editor)));
    return found;
}

void edit(MainWindow& window) {
    // 人物 5 武力 in the data editor's table of characters.
    if (auto* section = in<QAction>(window, "DForm", "renpre"))
        section->trigger();
    if (auto* table = in<QAction>(window, "DForm", "tableview"))
        table->trigger();
    if (auto* view = in<fields::FieldTableView>(window, "DForm", "Frame1Table")) {
        QAbstractItemModel* model = view->view()->model();
        for (int c = 0; c < model->columnCount(); ++c)
            if (model->headerData(c, Qt::Horizontal).toString() == QStringLiteral("武力"))
                model->setData(model->index(5, c), QStringLiteral("90"), Qt::EditRole);
    }
    // A character of the save, confirmed with 确定.
    if (auto* list = in<QListWidget>(window, "Record", "List1"))
        list->setCurrentRow(41);
    if (auto* box = in<QLineEdit>(window, "Record", "Text8"))
        box->setText(QStringLiteral("71"));
    if (auto* ok = in<QPushButton>(window, "Record", "Command1"))
        ok->click();
    // The scenario's second army entry moved.
    if (auto* list = in<QListWidget>(window, "Junben", "List8"))
        list->setCurrentRow(1);
    if (auto* box = in<QLineEdit>(window, "Junben", "Text28"))
        box->setText(QStringLiteral("21"));
    if (auto* ok = in<QPushButton>(window, "Junben", "Command1"))
        ok->click();
    // An army entry appended, which makes the file longer, and placed.
    if (auto* append = in<QPushButton>(window, "Junben", "Command3"))
        append->click();
    if (auto* list = in<QListWidget>(window, "Junben", "List8"))
        list->setCurrentRow(list->count() - 1);
    if (auto* box = in<QLineEdit>(window, "Junben", "Text28"))
        box->setText(QStringLiteral("23"));
    if (auto* ok = in<QPushButton>(window, "Junben", "Command1"))
        ok->click();
    // The R file's deployment count, typed and not yet saved with R文件保存.
    if (auto* box = in<QLineEdit>(window, "Junben", "Text31")) {
        const int count = box->text().toInt();
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::number(count > 1 ? count - 1 : count + 1));
    }
    const QDir out(qEnvironmentVariable("LCJ_PROBE_OUT"));
    int held = 0;
    for (Document* document : window.workspace()->documents()) {
        if (!document->modified())
            continue;
        QFile file(out.filePath(QFileInfo(document->path()).fileName()));
        if (file.open(QIODevice::WriteOnly) && file.write(document->mine()) > 0)
            ++held;
    }
    say(QStringLiteral("edits made in %1 files").arg(held));
}

int run(QWidget& shown) {
    auto& window = static_cast<MainWindow&>(shown);
    if (qEnvironmentVariable("LCJ_PROBE") == QStringLiteral("edit")) {
        QTimer::singleShot(200, &window, [&window] { edit(window); });
        return QApplication::exec();
    }
    // Enter on the start's question, and whatever comes after it.
    test::DialogKeys keys({Qt::Key_Enter, Qt::Key_Enter});
    QTimer done;
    int waited = 0;
    QObject::connect(&done, &QTimer::timeout, &window, [&] {
        ++waited;
        if (QApplication::activeModalWidget() || (keys.seen.isEmpty() && waited < 100))
            return;
        // The editors open the files after the answer, and a slow machine may
        // look in between: the four files recovered, or a minute gone.
        int holding = 0;
        for (Document* document : window.workspace()->documents())
            holding += document->modified() ? 1 : 0;
        if (holding < 4 && waited < 600)
            return;
        done.stop();
        for (const test::DialogKeys::Seen& seen : keys.seen)
            say(QStringLiteral("asked: ") + QString(seen.text).replace(u'\n', u' ') +
                QStringLiteral(" pressed: ") + seen.pressedButton);
        int saved = 0;
        for (Document* document : window.workspace()->documents())
            if (document->modified() && document->save())
                ++saved;
        say(QStringLiteral("saved %1").arg(saved));
        QApplication::exit(0);
    });
    done.start(100);
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    return runProgram(argc, argv, run);
}
