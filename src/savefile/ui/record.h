#pragma once

#include "changes/compare.h"
#include "common/ui/regionwindow.h"
#include "common/ui/unsavededits.h"
#include "datafile/gamenames.h"
#include "fields/fieldfiles.h"
#include "savefile/saveform.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lcj::fields {
class FieldTableView;
}

namespace lcj::save {

// The save-file editor "存档文件修改": loyalty, consumable stock and the 174
// character records of one save game, read on open, changed in memory on
// "确定" and written back in place on "保存".
class Record : public RegionWindow {
    Q_OBJECT
public:
    explicit Record(Prompts& prompts, QWidget* parent = nullptr);
    ~Record() override;

    // The file whose regions the window holds; empty while nothing is loaded.
    const QString& saveFilePath() const { return game_.regions().path(); }

    void reload_Click();
    void List1_Click();
    void List3_Click();
    bool Command1_Click(); // 确定
    bool Command2_Click(); // 保存

    // Part 0: character `row`; 1: consumable `row`; 2: the loyalty box.
    bool showPlace(int part, int row) override;

private:
    SaveForm formsFromControls() const;
    // Whether the controls differ from what they showed (edits not confirmed).
    bool unconfirmed() const override;
    bool mayDropFile() override;
    void pressSave() override;
    bool saveDocument() override;
    void showSavedMarks() override;
    void Form_Load();
    QLayout* buildCharacterFields();
    // Shows the loyalty, character 0 and consumable 0 of freshly read regions.
    void fillForm() override;
    void showCharacter();
    CharacterForm formFromControls() const;
    void takeNames(const names::GameNames& names);
    // After the regions changed (undo, redo, a table edit, "确定", a save):
    // every box, the table and the title show them.
    void showChanged() override;
    void showTitle();
    // Switches the character part between the boxes and the table.
    void showTable(bool on) override;

    SaveGame game_;
    SaveGame onDisk_; // the regions as the file holds them
    // Each step named by the field model's comparison of the file before and after it.
    RegionUndo history_{game_.regions(), [this] { return game_.regions().stamp().bytes; },
                        [](const QByteArray& before, const QByteArray& after) {
                            return changes::stepText(fields::FileKind::Save, before, after);
                        }};
    fields::Tables tables_;     // over game_
    fields::Tables diskTables_; // over onDisk_
    fields::FieldTableView* table_;
    QWidget* form_;
    QAction* tableAction_;
    int character_ = 0;  // last clicked row of List1
    int consumable_ = 0; // last clicked row of List3
    SaveForm shown_;     // the controls as they showed the regions

    QAction* reload;
    QListWidget* List1;
    QListWidget* List2;
    QListWidget* List3;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QLineEdit* Text5;
    QLineEdit* Text6;
    QLineEdit* Text7;
    QLineEdit* Text8;
    QLineEdit* Text9;
    QLineEdit* Text10;
    QLineEdit* Text11;
    QLineEdit* Text12;
    QLineEdit* Text13;
    QLineEdit* Text14;
    QLineEdit* Text15;
    QLineEdit* Text16;
    QLineEdit* Text17;
    QLineEdit* Text18;
    QLineEdit* Text19;
    QLineEdit* Text20;
    QLineEdit* Text21;
    QLineEdit* Text22;
    QLineEdit* Text23;
    QLineEdit* Text24;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QComboBox* Combo3;
    QCheckBox* Check1;
    QPushButton* Command1;
    QPushButton* Command2;
};

} // namespace lcj::save
