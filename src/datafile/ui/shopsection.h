#pragma once

#include "datafile/shopform.h"
#include "datasection.h"

#include <QByteArray>

class QGridLayout;
class QLabel;
class QListWidget;
class QPushButton;

namespace lcj::data {

// Frame3 "商店属性修改": the two shops of one battle.
class ShopSection : public DataSection {
    Q_OBJECT
public:
    explicit ShopSection(const SectionContext& context, QWidget* parent = nullptr);

    bool open() override; // shoppre
    QListWidget* recordList() const override { return List4; }
    void reshow() override;

    void List4_Click();
    bool Command6_Click(); // 保存
    void Command7_Click(); // 还原

protected:
    bool edited() const override { return shown_ && *shown_ != formFromControls(); }
    bool saveEdits() override { return Command6_Click(); }

private:
    // Each battle's entry names its shops' items in a tooltip.
    void showShopTip(int row, const ShopForm& form);
    void showShopTips();
    void placeTable(QWidget* table) override;

    QStringList itemNames_; // as read when the section opened
    bool readSelected();
    void shopfile();
    ShopForm formFromControls() const;

    QGridLayout* grid_;
    QLabel* Label28;
    QListWidget* List4;
    QLabel* Label112;
    QLabel* Label29;
    QListWidget* List5;
    QLabel* Label30;
    QListWidget* List6;
    QPushButton* Command6;
    QPushButton* Command7;

    QByteArray shopBlock_;          // the work copy: the block last read
    std::optional<ShopForm> shown_; // the controls as they showed it
};

} // namespace lcj::data
