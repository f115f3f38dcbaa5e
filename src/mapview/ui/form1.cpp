#include "form1.h"

#include "common/ui/controls.h"
#include "common/ui/filewatch.h"
#include "mapimage.h"
#include "mapview/folderlisting.h"
#include "mapview/gui/mappicture.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace lcj::mapview {

namespace {

constexpr int frameWidth = 657;
constexpr int frameHeight = 601;

QLabel* caption(const QString& objectName, const QString& text) {
    return named(new QLabel(text), objectName);
}

QLineEdit* readOnlyBox(const QString& objectName) {
    auto* box = named(new QLineEdit, objectName);
    box->setReadOnly(true);
    box->setFixedWidth(80);
    return box;
}

} // namespace

Form1::Form1(Prompts& prompts, QWidget* parent) : EditorWindow(prompts, parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("岚川记地图坐标简易查看器"));
    // The viewer has no menu.
    menuBar()->hide();

    Drive1 = named(new QComboBox, QStringLiteral("Drive1"));
    Dir1 = named(new QListWidget, QStringLiteral("Dir1"));
    File1 = named(new QListWidget, QStringLiteral("File1"));
    auto* lists = new QVBoxLayout;
    lists->addWidget(Drive1);
    lists->addWidget(Dir1, 1);
    lists->addWidget(File1, 1);
    auto* listColumn = new QWidget;
    listColumn->setLayout(lists);
    listColumn->setFixedWidth(220);

    // The frame clips the picture at its right and bottom edges.
    Picture1 = named(new QLabel, QStringLiteral("Picture1"));
    Picture1->setFixedSize(frameWidth, frameHeight);
    Picture1->setAutoFillBackground(true);
    Picture1->setBackgroundRole(QPalette::Dark);
    Image1 = named(new MapImage(Picture1), QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 0, 0);

    auto* side = new QGridLayout;
    Label2 = caption(QStringLiteral("Label2"), {});
    Label1 = caption(QStringLiteral("Label1"), {});
    Text1 = readOnlyBox(QStringLiteral("Text1"));
    Text2 = readOnlyBox(QStringLiteral("Text2"));
    side->addWidget(caption(QStringLiteral("Label3"), QStringLiteral("横")), 0, 0);
    side->addWidget(Label2, 0, 1);
    side->addWidget(caption(QStringLiteral("Label4"), QStringLiteral("纵")), 1, 0);
    side->addWidget(Label1, 1, 1);
    side->addWidget(caption(QStringLiteral("Label6"), QStringLiteral("横坐标")), 2, 0);
    side->addWidget(Text1, 2, 1);
    side->addWidget(caption(QStringLiteral("Label5"), QStringLiteral("纵坐标")), 3, 0);
    side->addWidget(Text2, 3, 1);
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("还原比率"));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("放大2倍"));
    Command3 = makeButton(this, QStringLiteral("Command3"), QStringLiteral("放大3倍"));
    side->addWidget(Command2, 4, 0, 1, 2);
    side->addWidget(Command3, 5, 0, 1, 2);
    side->addWidget(Command1, 6, 0, 1, 2);
    Label7 = caption(QStringLiteral("Label7"), {});
    Label7->setWordWrap(true);
    Label7->setFixedWidth(160);
    side->addWidget(Label7, 7, 0, 1, 2);
    side->setRowStretch(8, 1);

    auto* row = new QHBoxLayout;
    row->addWidget(listColumn);
    row->addWidget(Picture1, 0, Qt::AlignTop);
    row->addLayout(side);
    static_cast<QBoxLayout*>(layout())->addLayout(row);

    connect(Drive1, &QComboBox::currentIndexChanged, this, &Form1::Drive1_Change);
    // A double click (or Enter) on a folder opens it, as in a folder list.
    connect(Dir1, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setFolder(item->data(Qt::UserRole).toString()); });
    connect(File1, &QListWidget::currentRowChanged, this, &Form1::File1_Click);
    // A click on the file already shown loads it again, at natural size; a
    // click on another file is loaded once, by the change of row above.
    File1->viewport()->installEventFilter(this);
    connect(File1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (File1->row(item) == rowBeforePress_)
            File1_Click();
    });
    connect(Image1, &MapImage::pointerMoved, this, &Form1::Image1_MouseMove);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);

    // The viewer holds no edits: a picture another program changed is shown again.
    watch_ = new FileWatch(this, [this](const QString& text) { showStatus(text); });
    watch_->add(
        {[this] { return picture_; }, [] { return false; }, [this] { return reloadPicture(); }});
    // A viewer's document: never edited, nothing to save.
    addDocument({[this] { return picture_; },
                 [this] { return picture_.bytes; },
                 [] { return false; },
                 [] { return true; },
                 {},
                 {}});

    Form_Load();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == File1->viewport() && event->type() == QEvent::MouseButtonPress)
        rowBeforePress_ = File1->currentRow();
    return EditorWindow::eventFilter(watched, event);
}

void Form1::Form_Load() {
    zoom_.reset({});
    // The lists start in the game folder when one is open, else in the editor's own folder.
    const QString start = startFolder();
    fillDrives(start);
    setFolder(start);
}

void Form1::gameFolderChanged() {
    // A picture shown keeps its folder; before one, the lists go to the game's maps.
    if (zoom_.natural().isEmpty() && !gameFolder().isEmpty()) {
        fillDrives(startFolder());
        setFolder(startFolder());
    }
}

void Form1::fillDrives(const QString& folder) {
    const QSignalBlocker quiet(Drive1);
    const QStringList roots = drives();
    Drive1->clear();
    Drive1->addItems(roots);
    Drive1->setCurrentIndex(qMax(0, roots.indexOf(driveOf(folder, roots))));
}

void Form1::Drive1_Change() {
    if (Drive1->currentIndex() >= 0)
        setFolder(Drive1->currentText());
}

void Form1::setFolder(const QString& folder) {
    dirPath_ = QDir::cleanPath(QDir(folder).absolutePath());
    fillFolders();
    Dir1_Change();
}

bool Form1::openPath(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile()) {
        say(QStringLiteral("文件打开出错\n\n找不到文件：%1").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    fillDrives(file.absolutePath());
    setFolder(file.absolutePath());
    const auto found = File1->findItems(file.fileName(), Qt::MatchFixedString);
    if (found.isEmpty()) {
        // Not a name the list shows (another suffix): the picture alone.
        showPicture(file.absoluteFilePath());
        return !zoom_.natural().isEmpty();
    }
    // Selecting the row shows the picture, as a click on it does.
    if (File1->currentItem() == found.first())
        File1_Click();
    else
        File1->setCurrentItem(found.first());
    return !zoom_.natural().isEmpty();
}

void Form1::fillFolders() {
    Dir1->clear();
    for (const FolderEntry& entry : folderEntries(dirPath_)) {
        auto* item = new QListWidgetItem(QString(entry.depth * 2, u' ') + entry.name, Dir1);
        item->setData(Qt::UserRole, entry.path);
        item->setToolTip(QDir::toNativeSeparators(entry.path));
        if (entry.current)
            Dir1->setCurrentItem(item);
    }
}

void Form1::Dir1_Change() {
    filePath_ = dirPath_;
    fillFiles();
}

void Form1::fillFiles() {
    const QSignalBlocker quiet(File1);
    File1->clear();
    File1->addItems(bmpFiles(filePath_));
}

void Form1::File1_Click() {
    if (QListWidgetItem* item = File1->currentItem())
        showPicture(fullName(filePath_, item->text()));
}

void Form1::showPicture(const QString& path) {
    Label7->clear();
    // Stamped before the read: a change between the two is seen, never passed over.
    picture_ = DiskStamp::read(path);
    const auto picture = readMapPicture(path);
    if (watch_)
        watch_->sync();
    if (!picture.ok()) {
        picture_ = {};
        // Nothing is shown rather than half a picture; the program goes on.
        Image1->clear();
        zoom_.reset({});
        showZoom();
        Text1->clear();
        Text2->clear();
        showFileState({}, false);
        say(picture.error());
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(*picture));
    zoom_.reset(picture->size());
    showZoom();
    showFileState(picture_.path, false);
}

bool Form1::reopenAt(const QString& path) {
    return openPath(path);
}

Failure Form1::reloadPicture() {
    if (picture_.path.isEmpty())
        return {};
    const DiskStamp stamp = DiskStamp::read(picture_.path);
    const auto picture = readMapPicture(picture_.path);
    if (!picture.ok())
        return picture.error();
    picture_ = stamp;
    Image1->setPixmap(QPixmap::fromImage(*picture));
    if (picture->size() != zoom_.natural())
        zoom_.reset(picture->size());
    showZoom();
    return {};
}

void Form1::showZoom() {
    const QSize shown = zoom_.shown();
    Image1->setGeometry(0, 0, shown.width(), shown.height());
    Image1->update();
    const bool empty = zoom_.natural().isEmpty();
    Label1->setText(empty ? QString() : QString::number(shown.height()));
    Label2->setText(empty ? QString() : QString::number(shown.width()));
}

void Form1::Image1_MouseMove(QPoint pixel) {
    const QPoint cell = zoom_.cellAt(pixel);
    Text1->setText(QString::number(cell.x()));
    Text2->setText(QString::number(cell.y()));
}

void Form1::Command1_Click() {
    zoom_.restore();
    Label7->clear();
    showZoom();
}

void Form1::Command2_Click() {
    zoomBy(2);
}

void Form1::Command3_Click() {
    zoomBy(3);
}

void Form1::zoomBy(int factor) {
    if (Failure refused = zoom_.zoom(factor); !refused.ok()) {
        Label7->setText(refused.error());
        return;
    }
    Label7->setText(QStringLiteral("放大%1倍显示").arg(zoom_.factor()));
    showZoom();
}

} // namespace lcj::mapview
