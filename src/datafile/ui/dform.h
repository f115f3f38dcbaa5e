#pragma once

#include "common/result.h"
#include "common/ui/editorwindow.h"
#include "common/ui/undohistory.h"
#include "datafile/datafile.h"
#include "fields/ui/fieldtableview.h"
#include "fields/ui/tablecommands.h"

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;

namespace lcj::data {

class DataSection;

// The data file editor: one file held as a document, six sections of which
// one is shown at a time, each as its form or as a table of every record.
class DForm : public EditorWindow {
    Q_OBJECT
public:
    explicit DForm(Prompts& prompts, QWidget* parent = nullptr);
    ~DForm() override;

    const QString& dataFilePath() const { return file_.path(); }

    void fileop_Click();
    void exit_Click();

    bool openPath(const QString& path) override;

protected:
    bool mayClose() override;
    bool reopenAt(const QString& path) override;

public:
    // Section `part` (in the field model's order) at record `row`.
    bool showPlace(int part, int row) override;
    // The record, and the box or list of the field captioned `column` focused.
    bool showField(int part, int row, const QString& column) override;

private:
    void Form_Load();
    // Settles the edits of the section shown, if any: true when the window may
    // go on to another section, file or close.
    bool mayLeaveSection();
    // Settles the edits of the section shown, then the document's edits not on
    // disk: true when the window may drop the document.
    bool mayDropDocument();
    // Shows `section` alone and opens it; the other frames are hidden.
    void showSection(DataSection* section);
    void hideSections();
    // Holds the file at `path` from now on, no section shown.
    void takeFile(const QString& path);
    void addSection(DataSection* section, const QString& entryName, const QString& caption);
    DataSection* shownSection() const;
    std::size_t indexOf(const DataSection* section) const;

    // Takes the save lock, runs `store` on the document as one undo step and
    // saves it: every record that differs from the file on disk is written
    // back in one replace. False, with the user told why, when nothing was
    // written.
    bool saveDocument(const std::function<void()>& store);
    // Runs one change of the document: kept as one undo step when it
    // succeeds, undone byte for byte when it fails. The step is named by
    // `step` where it gives a name, else by comparing the document before and
    // after it field by field.
    Failure runChange(const std::function<Failure()>& change,
                      const std::function<QString()>& step = {});
    // The title, the marks of the tables and the undo entries after the
    // document changed.
    void documentChanged();
    // Takes `bytes` (the whole file) as the document's edits, one step (Document::Access::adopt).
    bool adoptBytes(const QByteArray& bytes);
    void undoOrRedo(bool undo);
    // The history moved the document (an undo, a redo, a click in 历史): the
    // section shown and its table show it anew.
    void showMoved();
    // The tables show the document anew and mark what differs from the file.
    void documentReloaded();
    // Whether the document or the form shown holds edits not on disk.
    bool holdsEdits() const;
    // Stores what the form shown holds and saves the document, asking nothing but what a
    // save asks; true when nothing is left that is not on disk.
    bool saveAll();
    // Reads the file again after another program changed it, dropping the
    // edits; the section shown stays on its record.
    Failure reloadDocument();

    // The 表格 entry: the section shown switches between its form and its table.
    void tableview_Click(bool on);
    fields::FieldTableView* tableOf(DataSection* section);
    void showTableOf(DataSection* section);
    void markSaved();

    DataFile file_;
    // The steps of undo and redo over the document's bytes; a fresh read
    // starts it anew, a save keeps it.
    ByteUndo history_{[this] { return ByteUndo::Buffers{file_.bytes()}; },
                      // The same QByteArray: the tables keep reading it.
                      [this](ByteUndo::Buffers&& bytes) { file_.bytes() = std::move(bytes[0]); }};
    QMenu* edit;
    QAction* undo_;
    QAction* redo_;
    QAction* tableview;
    fields::TableCommands tableCommands_; // 复制, 粘贴, 向下填充 of 编辑
    QLabel* gj;
    std::vector<DataSection*> sections_;
    // The field tables over the document's bytes, and over a copy of the
    // bytes on disk that marks the cells differing from the file.
    std::vector<std::unique_ptr<fields::FieldTable>> fields_;
    QByteArray savedBytes_;
    std::vector<std::unique_ptr<fields::FieldTable>> savedFields_;
    std::vector<fields::FieldTableView*> tables_; // by section, made when first shown
};

} // namespace lcj::data
