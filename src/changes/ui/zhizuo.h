#pragma once

#include "changes/patch.h"
#include "common/ui/editorwindow.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace lcj {

// Zhizuo: two game folders, the changes between them, and the patch saved.
class Zhizuo : public EditorWindow {
    Q_OBJECT
public:
    explicit Zhizuo(Prompts& prompts, QWidget* parent = nullptr);

    void chooseOriginal_Click();
    void chooseModded_Click();
    // 保存补丁…: asks for a file name and writes the patch with the header boxes.
    void savePatch_Click();

private:
    void compare();

    std::optional<changes::patch::Patch> patch_;
    QLineEdit* originalFolder;
    QLineEdit* moddedFolder;
    QLineEdit* budingName;
    QLineEdit* budingAuthor;
    QLineEdit* budingNote;
    QListWidget* changeList;
    QPushButton* savePatch;
};

} // namespace lcj
