#pragma once

#include "common/ui/editorwindow.h"
#include "common/ui/unsavededits.h"
#include "datafile/gamenames.h"
#include "patcher/programfile.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace lcj::exe {

// The program-file patcher "程序文件修改": the figure of each character and
// the switch "敌军小兵自动升级兵种", read from the game's program file on open,
// changed in memory on "确定" and written back in place on "保存".
class MainFile : public EditorWindow {
    Q_OBJECT
public:
    explicit MainFile(Prompts& prompts, QWidget* parent = nullptr);

    // The file whose regions the window holds; empty while nothing is loaded.
    const QString& programFilePath() const { return file_.regions().path(); }

    void mainopen_Click();
    void List1_Click();
    void Combo1_Click();
    bool Command1_Click(); // 确定
    bool Command2_Click(); // 保存
    void exit_Click();

protected:
    bool mayClose() override;

private:
    // Whether the figure or the switch differ from what they showed.
    bool unconfirmed() const;
    // Remembers what the controls show now as confirmed.
    void takeShown();
    // Settles unconfirmed edits and edits not yet saved before the window
    // closes or reads another file; true when it may go on.
    bool mayDropFile();
    void showSwitch();
    void Form_Load();
    void takeNames(const names::GameNames& names);

    ProgramFile file_;
    int shownRow_ = -1;   // the character whose figure Combo1 shows
    int shownFigure_ = 0; // the figure Combo1 showed for it
    Qt::CheckState shownSwitch_ = Qt::Unchecked;
    SavedRegions saved_; // the regions as on disk

    QListWidget* List1;
    QComboBox* Combo1;
    QLabel* Picture1;
    QCheckBox* Check1;
    QPushButton* Command1;
    QPushButton* Command2;
};

} // namespace lcj::exe
