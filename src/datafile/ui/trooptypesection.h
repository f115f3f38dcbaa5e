#pragma once

#include "datafile/trooptypeform.h"
#include "datasection.h"

#include <QByteArray>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lcj::data {

// Frame5 "兵种属性修改": one troop-type record at a time, with the picture of
// its attack range in the window's picture box gj.
class TroopTypeSection : public DataSection {
    Q_OBJECT
public:
    explicit TroopTypeSection(const SectionContext& context, QWidget* parent = nullptr);

    bool open() override; // binpre
    QListWidget* recordList() const override { return List8; }
    void reshow() override;

    void List8_Click();
    void Combo8_Click();
    bool Command10_Click(); // 保存
    void Command11_Click(); // 还原

protected:
    bool edited() const override { return shown_ && *shown_ != formFromControls(); }
    bool saveEdits() override { return Command10_Click(); }

private:
    void show(const TroopTypeForm& form);
    TroopTypeForm formFromControls() const;

    QListWidget* List8;
    QLineEdit* Text20;
    QComboBox* Combo8;
    std::array<QLineEdit*, 7> numberBoxes; // Text21..Text27
    QGroupBox* Frame6;
    std::array<QCheckBox*, 18> Check2;
    QPushButton* Command10;
    QPushButton* Command11;

    QByteArray troopType_;               // the work copy: the record last read
    std::optional<TroopTypeForm> shown_; // the controls as they showed it
};

} // namespace lcj::data
