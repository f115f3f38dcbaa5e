#pragma once

#include "datafile/characterform.h"
#include "datasection.h"

#include <QByteArray>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lcj::data {

// Frame1 "人物属性修改": one character record at a time.
class CharacterSection : public DataSection {
    Q_OBJECT
public:
    explicit CharacterSection(const SectionContext& context, QWidget* parent = nullptr);

    bool open() override; // renpre
    QListWidget* recordList() const override { return List1; }
    void reshow() override;

    void List1_Click();
    bool Command1_Click(); // 保存
    void Command2_Click(); // 还原

protected:
    bool edited() const override { return shown_ && *shown_ != formFromControls(); }
    bool saveEdits() override { return Command1_Click(); }

private:
    void renwushuju();
    CharacterForm formFromControls() const;
    bool readSelected();

    QListWidget* List1;
    QListWidget* List2;
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
    QLineEdit* Text33;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QComboBox* Combo3;
    QCheckBox* Check1;
    QPushButton* Command1;
    QPushButton* Command2;

    QByteArray renwushuju_;              // the work copy: the record last read
    std::optional<CharacterForm> shown_; // the controls as they showed it
};

} // namespace lcj::data
