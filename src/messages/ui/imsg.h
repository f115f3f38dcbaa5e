#pragma once

#include "changes/compare.h"
#include "common/regionset.h"
#include "common/ui/regionwindow.h"
#include "datafile/gamenames.h"
#include "fields/fieldfiles.h"
#include "messages/messagefile.h"

#include <QByteArray>
#include <array>

class QAction;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace lcj {
class ByteLimit;
}
namespace lcj::fields {
class FieldTableView;
}

namespace lcj::imsg {

// The message-file editor "Imsg文件修改": one 200-byte text slot of Imsg.e5 at
// a time, chosen by category on the menu bar and by row in the category's list,
// or a category's texts all at once in a table.
//
// The window holds the texts of every category in memory, as read from the
// file and changed by its saves, table edits and undo; "保存" writes the text
// shown and every other text changed since the file was read or last saved,
// in one replace of the file.
class Imsg : public RegionWindow {
    Q_OBJECT
public:
    explicit Imsg(Prompts& prompts, QWidget* parent = nullptr);
    ~Imsg() override;

    const QString& messageFilePath() const { return file_.path(); }
    Mode mode() const { return mode_; }

    // The category entries of the menu bar, in its order.
    void liezhuan_Click() { chooseCategory(0); }
    void wuping_Click() { chooseCategory(1); }
    void binzhong_Click() { chooseCategory(2); }
    void chetui_Click() { chooseCategory(3); }
    void zhiming_Click() { chooseCategory(4); }
    void chelue_Click() { chooseCategory(5); }
    void zandou_Click() { chooseCategory(6); }
    bool Command1_Click(); // 保存

protected:
    bool reopenAt(const QString& path) override;

public:
    // Category `part` at entry `row`.
    bool showPlace(int part, int row) override;

private:
    // Whether the text box holds a text other than the slot shown.
    bool unconfirmed() const override;
    // Asks about an edited text before the window moves on; true when it may.
    bool mayLeaveText();
    // The same before the window closes or takes another file, also about
    // texts changed in memory and not saved.
    bool mayDropFile() override;
    void pressSave() override;
    bool saveDocument() override;
    // Reads the message file at `path` in place of the one held; the reason when it cannot
    // be one.
    Failure readFile(const QString& path) override;
    DiskStamp fileStamp() const override;
    // A file just read: the categories enabled, none chosen yet.
    void fillForm() override;
    void Form_Load();
    // Back to the state before any category was chosen.
    void showNothing();
    void chooseCategory(int c);
    // Reads the category's slots; false (and the user told) when the file failed.
    bool fillList(int c);
    // Writes the texts changed in memory, with `shownSlot` (the text box's
    // text as a slot) stored for the slot shown when given; without it, a slot
    // shown takes the box's text as "保存" does. True when they are on disk.
    bool writeTexts(const QByteArray* shownSlot = nullptr);
    // The list of a text category shows the texts in memory.
    void fillRows(int c);
    // A slot read from the file now: a slot that another program changed since
    // it was read is taken as the file holds it.
    void takeFromDisk(int c, int row, const QByteArray& slot);
    void showOnly(int c);
    // A list's selection handler (List1_Click … List7_Click).
    void List_Click(int c);
    void showNamedEntry(int c, int row);
    void showTextEntry(int c, int row);
    void selectRow(int c, int row);
    // Shows the text of the slot shown again, as stored, the caret where it stood.
    void showStoredText();
    void takeNames(const names::GameNames& names);

    // After the texts in memory changed (undo, redo, a table edit, a save):
    // the list, the box, the table and the title show them.
    void showChanged() override;
    void showTitle();
    void showTable(bool on) override;
    // Reads every text again after another program changed the file, dropping
    // the edits; the category and the entry shown stay.
    Failure reloadFromDisk() override;
    fields::FieldTableView* tableOf(int c);

    MessageFile file_;
    RegionSet texts_{tableLayout()};  // every category's slots, as edited
    RegionSet onDisk_{tableLayout()}; // the same, as the file holds them
    // Each step named by the field model's comparison of the file before and after it.
    RegionUndo history_{texts_, [this] { return file_.stamp().bytes; },
                        [](const QByteArray& before, const QByteArray& after) {
                            return changes::stepText(fields::FileKind::Imsg, before, after);
                        }};
    Mode mode_ = Mode::None;
    int category_ = -1;
    qint64 currentSlot_ = -1; // file offset of the slot shown; -1 for none
    int shownRow_ = -1;       // the row of the current category's list shown
    QByteArray shown_;        // the bytes of the slot shown, as in memory

    fields::Tables tables_;     // over texts_
    fields::Tables diskTables_; // over onDisk_
    std::array<fields::FieldTableView*, 7> views_{};

    std::array<QAction*, 7> entries_{};
    std::array<QListWidget*, 7> lists_{};
    QWidget* form_;
    QStackedWidget* tableStack_;
    QWidget* noTable_;
    QAction* tableAction_;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QPlainTextEdit* Text1;
    ByteLimit* textLimit_;
    QPushButton* Command1;
};

} // namespace lcj::imsg
