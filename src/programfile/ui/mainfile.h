#pragma once

#include "changes/compare.h"
#include "common/ui/regionwindow.h"
#include "common/ui/unsavededits.h"
#include "datafile/gamenames.h"
#include "fields/fieldfiles.h"
#include "programfile/programfile.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace lcj::fields {
class FieldTableView;
}

namespace lcj::exe {

// The program-file editor "程序文件修改": the figure of each character and
// the switch "敌军小兵自动升级兵种", read from the game's program file on open,
// changed in memory on "确定" and written back in place on "保存".
class MainFile : public RegionWindow {
    Q_OBJECT
public:
    explicit MainFile(Prompts& prompts, QWidget* parent = nullptr);
    ~MainFile() override;

    // The file whose regions the window holds; empty while nothing is loaded.
    const QString& programFilePath() const { return file_.regions().path(); }

    void List1_Click();
    void Combo1_Click();
    bool Command1_Click(); // 确定
    bool Command2_Click(); // 保存

    // Part 0: the figure of character `row`; 1: the switch.
    bool showPlace(int part, int row) override;

private:
    // Shows the regions just read: the title, the switch and character 0.
    void fillForm() override;
    // Whether the figure or the switch differ from what they showed.
    bool unconfirmed() const override;
    // Remembers what the controls show now as confirmed.
    void takeShown();
    bool mayDropFile() override;
    void pressSave() override;
    bool saveDocument() override;
    void showSavedMarks() override;
    void showSwitch();
    void Form_Load();
    void takeNames(const names::GameNames& names);
    // Shows the stored figure of the selected character, confirmed as shown.
    void showFigure();
    // After the regions changed (undo, redo, a table edit, "确定", a save):
    // the figure, the switch, the table and the title show them.
    void showChanged() override;
    void showTitle();
    // Switches the figure part between the list with its figure and the table.
    void showTable(bool on) override;

    ProgramFile file_;
    ProgramFile onDisk_; // the regions as the file holds them
    // Each step named by the field model's comparison of the file before and after it.
    RegionUndo history_{file_.regions(), [this] { return file_.regions().stamp().bytes; },
                        [](const QByteArray& before, const QByteArray& after) {
                            return changes::stepText(fields::FileKind::Exe, before, after);
                        }};
    fields::Tables tables_;     // over file_
    fields::Tables diskTables_; // over onDisk_
    fields::FieldTableView* table_;
    QWidget* form_;
    QAction* tableAction_;
    int shownRow_ = -1;   // the character whose figure Combo1 shows
    int shownFigure_ = 0; // the figure Combo1 showed for it
    Qt::CheckState shownSwitch_ = Qt::Unchecked;

    QListWidget* List1;
    QComboBox* Combo1;
    QLabel* Picture1;
    QCheckBox* Check1;
    QPushButton* Command1;
    QPushButton* Command2;
};

} // namespace lcj::exe
