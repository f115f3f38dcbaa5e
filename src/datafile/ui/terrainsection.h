#pragma once

#include "datafile/terrainform.h"
#include "datasection.h"

#include <QByteArray>
#include <array>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lcj::data {

// Frame4 "地形属性修改": for one troop class, the effect and the movement cost
// of each of the 30 terrains.
class TerrainSection : public DataSection {
    Q_OBJECT
public:
    explicit TerrainSection(const SectionContext& context, QWidget* parent = nullptr);

    bool open() override; // dipfe
    QListWidget* recordList() const override { return List7; }
    void reshow() override;

    void List7_Click();
    bool Command8_Click(); // 保存
    void Command9_Click(); // 还原

protected:
    bool edited() const override { return shown_ && *shown_ != formFromControls(); }
    bool saveEdits() override { return Command8_Click(); }

private:
    TerrainForm formFromControls() const;
    // Shows the work copy.
    void showRecord();

    QListWidget* List7;
    QLabel* Label92;
    QLabel* Label91;
    std::array<QLineEdit*, TerrainForm::boxes> Text19;
    QPushButton* Command8;
    QPushButton* Command9;

    QByteArray terrain_;               // the work copy: the record last read
    std::optional<TerrainForm> shown_; // the controls as they showed it
};

} // namespace lcj::data
