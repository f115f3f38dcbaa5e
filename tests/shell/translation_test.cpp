// The program's own start-up reads Qt's Chinese texts: its standard dialogs
// and buttons read in Chinese ("打开", "取消", "是", "确定"), not in English.
// Runs the program's start-up itself, so it has a main() of its own.
#include "common/ui/settings.h"
#include "shell/startup.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {

int failures = 0;

void expect(bool ok, const char* what, const QString& seen) {
    std::printf("%s %s: %s\n", ok ? "PASS" : "FAIL", what, seen.toUtf8().constData());
    if (!ok)
        ++failures;
}

QString captionOf(QDialogButtonBox* buttons, QDialogButtonBox::StandardButton which) {
    QPushButton* button = buttons ? buttons->button(which) : nullptr;
    return button ? button->text() : QStringLiteral("(none)");
}

int checkDialogs(QWidget& mainWindow) {
    QMessageBox question(&mainWindow);
    question.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok |
                                QMessageBox::Cancel);
    const QString yes = question.button(QMessageBox::Yes)->text();
    const QString no = question.button(QMessageBox::No)->text();
    const QString ok = question.button(QMessageBox::Ok)->text();
    const QString cancel = question.button(QMessageBox::Cancel)->text();
    expect(yes.startsWith(QStringLiteral("是")), "message box Yes", yes);
    expect(no.startsWith(QStringLiteral("否")), "message box No", no);
    expect(ok.startsWith(QStringLiteral("确定")), "message box OK", ok);
    expect(cancel.startsWith(QStringLiteral("取消")), "message box Cancel", cancel);

    // Qt's own file dialog, the one shown where the system has none.
    QFileDialog open(&mainWindow);
    open.setOption(QFileDialog::DontUseNativeDialog);
    open.setAcceptMode(QFileDialog::AcceptOpen);
    auto* buttons = open.findChild<QDialogButtonBox*>();
    const QString openCaption = captionOf(buttons, QDialogButtonBox::Open);
    const QString cancelCaption = captionOf(buttons, QDialogButtonBox::Cancel);
    expect(openCaption.startsWith(QStringLiteral("打开")), "file dialog Open", openCaption);
    expect(cancelCaption.startsWith(QStringLiteral("取消")), "file dialog Cancel", cancelCaption);
    QStringList labels;
    for (const QLabel* label : open.findChildren<QLabel*>())
        labels << label->text();
    expect(labels.join(u'|').contains(QStringLiteral("文件名")), "file dialog labels",
           labels.join(u'|'));
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    // Settings of its own: never handed to a program the user runs, nor to another test.
    QTemporaryDir settings;
    lcj::settings::useFile(settings.filePath(QStringLiteral("lcjworkshop.ini")));
    return lcj::runProgram(argc, argv, checkDialogs);
}
