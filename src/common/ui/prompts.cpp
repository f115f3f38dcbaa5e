#include "prompts.h"

#include "unsavedlist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace lcj {

namespace {

// A message box of the program: its window's title (or the program's name),
// the text and the icon.
void prepare(QMessageBox& box, const QString& text, const QString& title, QMessageBox::Icon icon) {
    box.setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
    box.setIcon(icon);
    box.setText(text);
}

} // namespace

QString Prompts::editorFolder() {
    return QCoreApplication::applicationDirPath();
}

QString DialogPrompts::chooseOpenFile(QWidget* parent, const QString& title, const QString& filter,
                                      const QString& startFolder) {
    return QFileDialog::getOpenFileName(parent, title, startFolder, filter);
}

QString DialogPrompts::chooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                                      const QString& startPath) {
    return QFileDialog::getSaveFileName(parent, title, startPath, filter);
}

QStringList DialogPrompts::chooseOpenFiles(QWidget* parent, const QString& title,
                                           const QString& filter, const QString& startFolder) {
    return QFileDialog::getOpenFileNames(parent, title, startFolder, filter);
}

QString DialogPrompts::chooseFolder(QWidget* parent, const QString& title,
                                    const QString& startFolder) {
    return QFileDialog::getExistingDirectory(parent, title, startFolder);
}

void DialogPrompts::showMessage(QWidget* parent, const QString& text, const QString& title,
                                Icon icon) {
    QMessageBox::Icon shown = QMessageBox::NoIcon;
    switch (icon) {
    case Icon::None:
        break;
    case Icon::Information:
        shown = QMessageBox::Information;
        break;
    case Icon::Warning:
        shown = QMessageBox::Warning;
        break;
    case Icon::Critical:
        shown = QMessageBox::Critical;
        break;
    }
    QMessageBox box(parent);
    prepare(box, text, title, shown);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool DialogPrompts::ask(QWidget* parent, const QString& text, const QString& title) {
    // Enter and Escape both answer "否": only a deliberate "是" goes on.
    QMessageBox box(parent);
    prepare(box, text, title, QMessageBox::Question);
    QPushButton* yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

int DialogPrompts::choose(QWidget* parent, const QString& text, const QStringList& buttons,
                          int defaultButton, int escapeButton, const QString& title) {
    QMessageBox box(parent);
    prepare(box, text, title, QMessageBox::Question);
    QList<QPushButton*> pushed;
    for (const QString& caption : buttons)
        pushed.append(box.addButton(caption, QMessageBox::ActionRole));
    box.setDefaultButton(pushed.value(defaultButton));
    if (escapeButton < 0) {
        // Escape answers none of them: a hidden button takes it.
        QPushButton* none = box.addButton(QMessageBox::Cancel);
        none->hide();
        box.setEscapeButton(none);
    } else {
        box.setEscapeButton(pushed.value(escapeButton));
    }
    box.exec();
    const int index = int(pushed.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
    return index < 0 ? escapeButton : index;
}

Prompts::SaveChoice DialogPrompts::askToSave(QWidget* parent, const QString& text,
                                             const QString& title) {
    QMessageBox box(parent);
    prepare(box, text, title, QMessageBox::Question);
    QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("放弃"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    if (box.clickedButton() == discard)
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

QStringList Prompts::chooseOpenFiles(QWidget* parent, const QString& title, const QString& filter,
                                     const QString& startFolder) {
    const QString path = chooseOpenFile(parent, title, filter, startFolder);
    return path.isEmpty() ? QStringList() : QStringList{path};
}

Prompts::SaveChoice Prompts::askToSaveFiles(QWidget* parent, const QString& text,
                                            const QStringList& files, QList<bool>& chosen,
                                            const QString& title) {
    QStringList lines;
    for (const QString& file : files)
        lines << QDir::toNativeSeparators(file);
    const SaveChoice choice =
        askToSave(parent, text + QStringLiteral("\n\n") + lines.join(u'\n'), title);
    chosen = QList<bool>(files.size(), choice == SaveChoice::Save);
    return choice;
}

Prompts::SaveChoice DialogPrompts::askToSaveFiles(QWidget* parent, const QString& text,
                                                  const QStringList& files, QList<bool>& chosen,
                                                  const QString& title) {
    UnsavedList list(text, files, parent);
    if (!title.isEmpty())
        list.setWindowTitle(title);
    list.exec();
    chosen = list.checked();
    return list.choice();
}

} // namespace lcj
