#pragma once

#include "common/ui/editorwindow.h"
#include "datafile/gamenames.h"
#include "messages/messagefile.h"

#include <QByteArray>
#include <array>

class QAction;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace lcj {
class ByteLimit;
}

namespace lcj::imsg {

// The message-file editor "Imsg文件修改": one 200-byte text slot of Imsg.e5 at
// a time, chosen by category on the menu bar and by row in the category's list.
class Imsg : public EditorWindow {
    Q_OBJECT
public:
    explicit Imsg(Prompts& prompts, QWidget* parent = nullptr);

    const QString& messageFilePath() const { return file_.path(); }
    Mode mode() const { return mode_; }

    void fileopen_Click();
    void exit_Click();
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
    bool mayClose() override;

private:
    // Whether the text box holds a text other than the slot shown.
    bool edited() const;
    // Asks about an edited text before the window moves on; true when it may.
    bool mayLeaveText();
    void Form_Load();
    // Back to the state before any category was chosen.
    void showNothing();
    void chooseCategory(int c);
    // Reads the category's slots; false (and the user told) when the file failed.
    bool fillList(int c);
    void showOnly(int c);
    // A list's selection handler (List1_Click … List7_Click).
    void List_Click(int c);
    void showNamedEntry(int c, int row);
    void showTextEntry(int c, int row);
    void selectRow(int c, int row);
    void takeNames(const names::GameNames& names);

    MessageFile file_;
    Mode mode_ = Mode::None;
    int category_ = -1;
    qint64 currentSlot_ = -1; // file offset of the slot shown; -1 for none
    int shownRow_ = -1;       // the row of the current category's list shown
    QByteArray shown_;        // the bytes of the slot shown, as read

    std::array<QAction*, 7> entries_{};
    std::array<QListWidget*, 7> lists_{};
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QPlainTextEdit* Text1;
    ByteLimit* textLimit_;
    QPushButton* Command1;
};

} // namespace lcj::imsg
