#pragma once

#include "datafile/itemform.h"
#include "datasection.h"

#include <QByteArray>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lcj::data {

// Frame2 "道具属性修改": one item record at a time. The kind byte decides
// which controls are in use and what bytes 18..23 mean.
class ItemSection : public DataSection {
    Q_OBJECT
public:
    explicit ItemSection(const SectionContext& context, QWidget* parent = nullptr);

    bool open() override; // daopre
    QListWidget* recordList() const override { return List3; }
    void reshow() override;

    void List3_Click();
    bool Command4_Click(); // 保存
    void Command5_Click(); // 还原

protected:
    bool edited() const override { return shown_ && *shown_ != formFromControls(); }
    bool saveEdits() override { return Command4_Click(); }

private:
    bool daofile();
    void daojushuju();
    ItemForm formFromControls() const;

    QListWidget* List3;
    QLabel* Label17;
    QLineEdit* Text13;
    QComboBox* Combo4;
    QComboBox* Combo5;
    QComboBox* Combo6;
    QLineEdit* Text14;
    QLineEdit* Text15;
    QLineEdit* Text16;
    QLineEdit* Text17;
    QLineEdit* Text18;
    QComboBox* Combo7;
    QPushButton* Command4;
    QPushButton* Command5;

    QByteArray daojushuju_;         // the work copy: the record last read
    std::optional<ItemForm> shown_; // the controls as they showed it
};

} // namespace lcj::data
