#pragma once

#include "datafile/strategyform.h"
#include "datasection.h"

#include <QByteArray>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace lcj::data {

// Frame7 "策略属性修改": one strategy record at a time. The learning levels
// of the 53 troop types are edited in the grid msfgrid through the in-place
// editor Text32, laid over the current cell while the user types.
class StrategySection : public DataSection {
    Q_OBJECT
public:
    explicit StrategySection(const SectionContext& context, QWidget* parent = nullptr);

    bool open() override; // chepre
    QListWidget* recordList() const override { return List9; }
    void reshow() override;

    void List9_Click();
    bool Command12_Click(); // 保存
    void Command13_Click(); // 还原
    // A key typed in the grid opens the editor; a key other than Enter is
    // typed into it.
    void msfgrid_KeyPress(const QKeyEvent& key);
    // Commits the edited level to its cell; false when the text was refused
    // (the cell keeps its value and the user is told why).
    bool Text32_LostFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool edited() const override;
    bool saveEdits() override { return Command12_Click(); }

private:
    void setUpGrid();
    void show(const StrategyForm& form);
    StrategyForm formFromControls() const;
    void cancelEdit();

    QListWidget* List9;
    QLineEdit* Text28;
    QLineEdit* Text29;
    QComboBox* Combo9;
    QComboBox* Combo10;
    QComboBox* Combo11;
    QLineEdit* Text30;
    QLineEdit* Text31;
    QLabel* gridNote;
    QTableWidget* msfgrid;
    QLineEdit* Text32;
    QPushButton* Command12;
    QPushButton* Command13;

    QByteArray strategy_;               // the work copy: the record last read
    std::optional<StrategyForm> shown_; // the controls as they showed it
    bool editing_ = false;
    int editRow = 0;
    int editCol = 0;
};

} // namespace lcj::data
