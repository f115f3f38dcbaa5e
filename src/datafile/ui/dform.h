#pragma once

#include "common/ui/editorwindow.h"
#include "datafile/datafile.h"

#include <functional>
#include <vector>

class QAction;
class QLabel;
class QMenu;

namespace lcj::data {

class DataSection;

// The data file editor: one file, six sections of which one is shown at a time.
class DForm : public EditorWindow {
    Q_OBJECT
public:
    explicit DForm(Prompts& prompts, QWidget* parent = nullptr);

    const QString& dataFilePath() const { return file_.path(); }

    void fileop_Click();
    void exit_Click();

protected:
    bool mayClose() override;

private:
    void Form_Load();
    // Settles the edits of the section shown, if any: true when the window may
    // go on to another section, file or close.
    bool mayLeaveSection();
    // Shows `section` alone and opens it; the other frames are hidden.
    void showSection(DataSection* section);
    void hideSections();
    // Takes the save lock, runs `store` on the document and saves it: every
    // record that differs from the file on disk is written back in one
    // replace. False, with the user told why, when nothing was written.
    bool saveDocument(const std::function<void()>& store);
    void addSection(DataSection* section, const QString& entryName, const QString& caption);

    DataFile file_;
    QMenu* edit;
    QLabel* gj;
    std::vector<DataSection*> sections_;
};

} // namespace lcj::data
