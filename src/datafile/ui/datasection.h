#pragma once

#include "datafile/datafile.h"

#include <QGroupBox>
#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QListWidget;
class QPushButton;

namespace lcj {
class Prompts;
}

namespace lcj::data {

// What every section of the data file editor shares: the data file and its
// document, the prompts, the attack-range picture box of the window, and how
// the window saves the document.
struct SectionContext {
    DataFile& file;
    Prompts& prompts;
    QLabel* gj;
    // Takes the save lock, runs `store` on the document as one undo step, and
    // saves the document. False, with the user told why, when nothing was
    // stored (the user kept another program's file) or the file was not written.
    std::function<bool(const std::function<void()>& store)> save;
    // The document was read from the file again (another program changed it).
    std::function<void()> reloaded;
    // Shows a line in the window's status line.
    std::function<void(const QString&)> status;
};

// One frame of the data file editor, showing one table of data.e5.
class DataSection : public QGroupBox {
    Q_OBJECT
public:
    DataSection(const SectionContext& context, const QString& objectName, const QString& caption,
                QWidget* parent = nullptr);

    // Fills the section's lists from the file and selects entry 0. False when
    // the file could not be read; the user has been told why.
    virtual bool open() = 0;

    // While the controls hold edits of the record shown, asks whether to save
    // them. True when the window may go on (saved, dropped or none).
    bool mayLeave();
    // Whether the controls hold edits of the record shown that are not stored.
    bool holdsEdits() const { return shownRow_ >= 0 && edited(); }
    // Forgets the record shown: what the controls hold is no longer asked about.
    void forgetShown() { shownRow_ = -1; }
    // Stores the edits the controls hold, if any, as the section's "保存" does, without a
    // question; false, with the user told why, when they were not stored.
    bool storeEdits() { return !holdsEdits() || saveEdits(); }

    // The section's "保存" button: Enter in its boxes and Ctrl+S press it.
    QPushButton* saveButton() const { return save_; }

    // The list of the section's records, whose row is the record number.
    virtual QListWidget* recordList() const = 0;
    // Shows the document again after it changed under the controls (undo,
    // redo, an edit in the table): names in the lists and the record selected.
    // Whatever the controls held is dropped; settle it first.
    virtual void reshow() = 0;

    // Shows `table` in place of the section's controls and the record list,
    // beside the list's filter box, or them again when `table` is null.
    void showTable(QWidget* table);

protected:
    DataFile& file() const { return context_.file; }

    // A repaint within the frame (a box or list changed) leaves the frame and
    // the title alone: the style lays out the title's text on every paint.
    void paintEvent(QPaintEvent* event) override;

    // Whether the controls differ from the record as it was shown.
    virtual bool edited() const { return false; }
    // Saves the record shown; false, with the user told why, when it was not.
    virtual bool saveEdits() { return true; }
    // For a list's selection handler, before it shows the newly selected
    // record: false when the user kept the edits (the list is back on the
    // record shown) or their save failed.
    bool mayLeaveRow(QListWidget* list);
    QLabel* gj() const { return context_.gj; }
    void say(const QString& text);
    // Shows `text` in the window's status line.
    void showStatus(const QString& text);
    // Makes sure the document holds the file; on failure says why.
    bool load();

    // Reads record `row` of `table` from the document. On failure says why and
    // disables `save`, so that nothing read from a broken file is shown or
    // written back.
    std::optional<QByteArray> readRecord(const Table& table, int row, QPushButton* save);
    // The names of a table's records in the document; on failure says why.
    std::optional<QStringList> readNames(const Table& table);
    // Stores record `row` into the document and saves it; false (the user
    // told why) when it could not be written, or when the user kept another
    // program's change to the file.
    bool writeRecord(const Table& table, int row, const QByteArray& record);
    // Gives the entries of a list or a combo box the texts of `names`, in place.
    static void renameEntries(QListWidget* list, const QStringList& names);
    static void renameEntries(QComboBox* combo, const QStringList& names);
    // Makes the entries of a list or a combo box exactly `names`. A list that
    // already has as many entries, few of them named otherwise, keeps them and
    // only the texts that differ change: a section opened again neither
    // rebuilds nor measures its 512 names. The list's selection handler does not run.
    static void fillEntries(QListWidget* list, const QStringList& names);
    static void fillEntries(QComboBox* combo, const QStringList& names);
    // Where the table goes when it is shown: by default after the controls in
    // the frame's own layout.
    virtual void placeTable(QWidget* table);
    // Changes the text of entry `row` of a name list to `text`, in place, and
    // selects it again, without running the list's selection handler.
    static void replaceEntry(QListWidget* list, int row, const QString& text);
    // Selects entry 0 of a fixed list, running `click` even when it already was.
    static void selectFirst(QListWidget* list, const std::function<void()>& click);
    // The row of a section's "保存" and "还原" buttons, at the right.
    static QHBoxLayout* buttonRow(QPushButton* save, QPushButton* restore);
    // Makes `save` the button that Enter and Ctrl+S press; call once the
    // section's boxes are built.
    void useSaveKeys(QPushButton* save);

    // Stores `form` into a copy of the work copy and writes it as record `row`;
    // the work copy takes the written bytes. False, with the user told why,
    // when a field is refused or the file cannot be written: nothing is written.
    template <class Form>
    bool saveRecord(const Table& table, int row, const Form& form, QByteArray& workCopy) {
        if (row < 0 || workCopy.isEmpty())
            return false;
        QByteArray record = workCopy;
        if (auto failure = form.apply(record); !failure.ok()) {
            say(failure.error());
            return false;
        }
        if (!writeRecord(table, row, record))
            return false;
        workCopy = record;
        return true;
    }

private:
    SectionContext context_;
    int shownRow_ = -1; // the row whose record the controls show
    QPushButton* save_ = nullptr;
    QWidget* table_ = nullptr;       // shown in place of the controls, or null
    QList<QWidget*> hiddenForTable_; // the controls the table hides
    // The record list's and its filter box's own maximum widths.
    int filterWidth_ = QWIDGETSIZE_MAX;
};

} // namespace lcj::data
