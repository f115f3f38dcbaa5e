#pragma once

#include "check/foldercheck.h"
#include "common/ui/editorwindow.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace lcj::check {

// "检查游戏目录": every problem of a game folder's files, one a row (file,
// place, problem). A double click or Enter on a problem asks for the editor
// of its file at its record (placeChosen); "重新检查" checks the folder again.
class Jiancha : public EditorWindow {
    Q_OBJECT
public:
    explicit Jiancha(Prompts& prompts, QWidget* parent = nullptr);

    // Wide enough that every column shows with a problem's text.
    QSize sizeHint() const override;

    // Checks `folder` and lists what it found; the status line gives the count,
    // or why the folder could not be checked.
    void checkFolder(const QString& folder);
    const QString& folder() const { return folder_; }
    const QList<Problem>& found() const { return found_; }

    void recheck_Click();

    // The check belongs to the game folder open: its entry checks that folder, and after
    // another folder was opened 重新检查 checks the new one.
    void entryChosen() override;
    bool reopenIn(const QString& folder) override;

signals:
    // The problem's file, and its part and row as the field model counts them
    // (-1 for a problem of the whole file); placeRequested goes with it.
    void placeChosen(const QString& path, int part, int row);

private:
    void choose(QTreeWidgetItem* item);

    QTreeWidget* problems_;
    QPushButton* recheck_;
    QString folder_;
    QList<Problem> found_;
};

} // namespace lcj::check
