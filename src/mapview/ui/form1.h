#pragma once

#include "common/diskstamp.h"
#include "common/result.h"
#include "common/ui/editorwindow.h"
#include "mapview/mapzoom.h"

#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lcj {
class FileWatch;
}

namespace lcj::mapview {

class MapImage;

// The map coordinate viewer: browse to a BMP map, show it, zoom it, and read
// the grid cell under the pointer. It reads no game file and writes nothing.
// It has no menu and no exit command; its frame's close button closes it.
class Form1 : public EditorWindow {
    Q_OBJECT
public:
    explicit Form1(Prompts& prompts, QWidget* parent = nullptr);

    const MapZoom& zoom() const { return zoom_; }
    // The folder the file list shows.
    const QString& filePath() const { return filePath_; }

    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void Image1_MouseMove(QPoint pixel);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // Points the folder list at `folder` and the file list with it, as a
    // double click on that folder does.
    Q_INVOKABLE void setFolder(const QString& folder);
    // Shows the map picture at `path`: its folder in the lists, the file selected.
    bool openPath(const QString& path) override;

private:
    int rowBeforePress_ = -1; // File1's current row when the mouse went down on it

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The picture of that name.
    bool reopenAt(const QString& path) override;
    void gameFolderChanged() override;

private:
    void Form_Load();
    void fillDrives(const QString& folder);
    void fillFolders();
    void fillFiles();
    // Shows the picture at `path` at natural size, or an empty picture.
    void showPicture(const QString& path);
    // Reads the picture shown again after another program changed it,
    // keeping the zoom when its size stayed; on a failure nothing changes.
    Failure reloadPicture();
    void zoomBy(int factor);
    // Sizes Image1 and the size labels after the zoom state.
    void showZoom();

    MapZoom zoom_;
    DiskStamp picture_; // the picture shown, as read
    FileWatch* watch_ = nullptr;
    QString dirPath_;
    QString filePath_;

    QComboBox* Drive1;
    QListWidget* Dir1;
    QListWidget* File1;
    QLabel* Picture1;
    MapImage* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QLabel* Label7; // status line: why a zoom was refused
};

} // namespace lcj::mapview
