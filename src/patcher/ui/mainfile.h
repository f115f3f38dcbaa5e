#pragma once

#include "common/gamenames.h"
#include "common/ui/editorwindow.h"
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
    void Command1_Click(); // 确定
    void Command2_Click(); // 保存
    void exit_Click();

private:
    void showSwitch();
    void Form_Load();
    void takeNames(const names::GameNames& names);

    ProgramFile file_;

    QListWidget* List1;
    QComboBox* Combo1;
    QLabel* Picture1;
    QCheckBox* Check1;
    QPushButton* Command1;
    QPushButton* Command2;
};

} // namespace lcj::exe
