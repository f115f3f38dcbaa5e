#include "battlemap.h"

#include "common/ui/controls.h"
#include "common/ui/settings.h"
#include "junben.h"
#include "mapview/gui/mappicture.h"
#include "scenario/gui/battlepainter.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace lcj::scenario {

namespace {

const QString mapFilter = QStringLiteral("岚川记地图文件 (*.bmp *.BMP);;所有文件 (*)");

} // namespace

// ---- the picture with its markers

BattleMapImage::BattleMapImage(QWidget* parent) : MapImage(parent) {}

void BattleMapImage::setUnits(QList<BattleUnit> units, QStringList descriptions) {
    units_ = std::move(units);
    descriptions_ = std::move(descriptions);
    places_ = markerPlaces(units_);
    if (selected_ >= units_.size())
        selected_ = -1;
    dragged_ = -1;
    update();
}

void BattleMapImage::setCellSize(int k) {
    k_ = k;
    update();
}

void BattleMapImage::setSelected(int i) {
    if (i == selected_)
        return;
    selected_ = i;
    update();
}

int BattleMapImage::unitAt(QPoint pixel) const {
    return scenario::unitAt(units_, places_, QPointF(pixel.x() + 0.5, pixel.y() + 0.5) / k_);
}

QPoint BattleMapImage::markerCentre(int i) const {
    return markerRect(units_[i], places_[i], k_).center().toPoint();
}

void BattleMapImage::paintEvent(QPaintEvent* event) {
    MapImage::paintEvent(event);
    if (pixmap().isNull())
        return;
    QPainter painter(this);
    painter.setClipRect(event->rect());
    paintUnits(painter, units_, places_, k_, event->rect(), selected_);
    if (dragged_ >= 0) {
        // Where the marker would land.
        painter.setPen(QPen(unitColour(units_[dragged_].kind), 2, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(dragCell_ * k_, QSize(k_, k_)).adjusted(0, 0, -1, -1));
    }
}

void BattleMapImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint();
        dragged_ = unitAt(at);
        if (dragged_ >= 0) {
            dragCell_ = units_[dragged_].cell;
            emit unitPressed(dragged_);
        }
    }
    MapImage::mousePressEvent(event);
}

void BattleMapImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (dragged_ >= 0 && rect().contains(at)) {
        const QPoint cell = mapview::cellAt(at, k_);
        if (cell != dragCell_) {
            dragCell_ = cell;
            update();
        }
    }
    const int under = unitAt(at);
    setToolTip(under >= 0 ? descriptions_.value(under) : QString());
    MapImage::mouseMoveEvent(event);
}

void BattleMapImage::mouseReleaseEvent(QMouseEvent* event) {
    const int i = dragged_;
    dragged_ = -1;
    if (i >= 0 && event->button() == Qt::LeftButton) {
        update();
        const QPoint at = event->position().toPoint();
        if (!rect().contains(at))
            emit dropOffMap(i);
        else if (const QPoint cell = mapview::cellAt(at, k_); cell != units_[i].cell)
            emit unitDropped(i, cell);
    }
    MapImage::mouseReleaseEvent(event);
}

// ---- the window

BattleMap::BattleMap(Junben& junben, QWidget* parent) : QWidget(parent), junben_(junben) {
    setObjectName(QStringLiteral("BattleMap"));
    setWindowTitle(QStringLiteral("战场地图"));

    mapopen = makeButton(this, QStringLiteral("mapopen"), QStringLiteral("选择地图"));
    zoomreset = makeButton(this, QStringLiteral("zoomreset"), QStringLiteral("还原比率"));
    zoom2 = makeButton(this, QStringLiteral("zoom2"), QStringLiteral("放大2倍"));
    zoom3 = makeButton(this, QStringLiteral("zoom3"), QStringLiteral("放大3倍"));
    mapX = named(new QLineEdit, QStringLiteral("mapX"));
    mapY = named(new QLineEdit, QStringLiteral("mapY"));
    for (QLineEdit* box : {mapX, mapY}) {
        box->setReadOnly(true);
        box->setFixedWidth(60);
    }
    mapStatus = named(new QLabel, QStringLiteral("mapStatus"));
    offMapNote = named(new QLabel, QStringLiteral("offMapNote"));
    offMapNote->setWordWrap(true);
    offMapNote->setTextInteractionFlags(Qt::TextSelectableByMouse);

    mapImage = named(new BattleMapImage, QStringLiteral("mapImage"));
    mapFrame = named(new QScrollArea, QStringLiteral("mapFrame"));
    mapFrame->setBackgroundRole(QPalette::Dark);
    mapFrame->setWidget(mapImage);
    mapFrame->setWidgetResizable(false);

    // Narrow enough to dock beside the frames: the buttons above the pointer's cell.
    auto* bar = new QHBoxLayout;
    bar->addWidget(mapopen);
    bar->addWidget(zoom2);
    bar->addWidget(zoom3);
    bar->addWidget(zoomreset);
    bar->addStretch();
    auto* cell = new QHBoxLayout;
    cell->addWidget(named(new QLabel(QStringLiteral("横坐标")), QStringLiteral("mapXLabel")));
    cell->addWidget(mapX);
    cell->addWidget(named(new QLabel(QStringLiteral("纵坐标")), QStringLiteral("mapYLabel")));
    cell->addWidget(mapY);
    cell->addWidget(mapStatus, 1);
    // One line whatever it says, so that the map below never moves; a narrow panel cuts it.
    mapStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(bar);
    column->addLayout(cell);
    column->addWidget(mapFrame, 1);
    column->addWidget(offMapNote);

    connect(mapopen, &QPushButton::clicked, this, &BattleMap::mapopen_Click);
    connect(zoomreset, &QPushButton::clicked, this, &BattleMap::Command1_Click);
    connect(zoom2, &QPushButton::clicked, this, &BattleMap::Command2_Click);
    connect(zoom3, &QPushButton::clicked, this, &BattleMap::Command3_Click);
    connect(mapImage, &mapview::MapImage::pointerMoved, this, &BattleMap::pointerMoved);
    connect(mapImage, &BattleMapImage::unitPressed, this, &BattleMap::unitPressed);
    connect(mapImage, &BattleMapImage::unitDropped, this, &BattleMap::unitDropped);
    connect(mapImage, &BattleMapImage::dropOffMap, this,
            [this] { mapStatus->setText(QStringLiteral("不能放到地图之外：坐标没有改变")); });
    connect(&junben_, &Junben::documentChanged, this, &BattleMap::refresh);
    connect(&junben_, &Junben::unitSelected, this, &BattleMap::showSelection);

    clearMap(QStringLiteral("请点“选择地图”选择本战役的地图图片"));
    refresh();
}

QString BattleMap::scenarioFolder() const {
    const QString path = junben_.scenarioPath();
    return path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}

void BattleMap::mapopen_Click() {
    // The dialog offers the map chosen before, in its own folder; before one, the game folder.
    const QString start = mapPath_.isEmpty() ? junben_.startFolder() : mapPath_;
    const QString path =
        junben_.prompts().chooseOpenFile(this, QStringLiteral("选择战场地图"), mapFilter, start);
    if (path.isEmpty())
        return;
    showMap(path);
}

void BattleMap::showMap(const QString& path) {
    const auto picture = mapview::readMapPicture(path);
    if (!picture.ok()) {
        // The map shown before stays.
        junben_.prompts().showMessage(this, picture.error(), windowTitle());
        return;
    }
    mapPath_ = path;
    mapForFolder_.insert(scenarioFolder(), path);
    // Remembered for the next run too.
    if (!scenarioFolder().isEmpty())
        settings::setMapForFolder(scenarioFolder(), path);
    mapImage->setPixmap(QPixmap::fromImage(*picture));
    zoom_.reset(picture->size());
    setWindowTitle(QStringLiteral("战场地图 - %1").arg(QFileInfo(path).fileName()));
    showZoom();
    refresh();
}

void BattleMap::clearMap(const QString& why) {
    mapPath_.clear();
    mapImage->clear();
    zoom_.reset({});
    setWindowTitle(QStringLiteral("战场地图"));
    showZoom();
    mapStatus->setText(why);
}

void BattleMap::showZoom() {
    const QSize shown = zoom_.shown();
    mapImage->resize(shown);
    mapImage->setCellSize(zoom_.cellSize());
    const bool map = !zoom_.natural().isEmpty();
    for (QPushButton* b : {zoomreset, zoom2, zoom3})
        b->setEnabled(map);
    if (map)
        mapStatus->setText(QStringLiteral("放大%1倍显示").arg(zoom_.factor()));
}

void BattleMap::zoomBy(int factor) {
    if (Failure refused = zoom_.zoom(factor); !refused.ok()) {
        mapStatus->setText(refused.error());
        return;
    }
    showZoom();
}

void BattleMap::Command1_Click() {
    zoom_.restore();
    showZoom();
}

void BattleMap::Command2_Click() {
    zoomBy(2);
}

void BattleMap::Command3_Click() {
    zoomBy(3);
}

void BattleMap::refresh() {
    // Another folder's scenario: its own map, if one was chosen for that folder.
    const QString folder = scenarioFolder();
    if (folder != shownFolder_) {
        // A map chosen before any scenario was loaded belongs to the first one.
        if (shownFolder_.isEmpty() && !mapPath_.isEmpty() && !mapForFolder_.contains(folder))
            mapForFolder_.insert(folder, mapPath_);
        shownFolder_ = folder;
        QString map = mapForFolder_.value(folder);
        // The map chosen for this folder in an earlier run, while it is there.
        if (map.isEmpty() && !folder.isEmpty() &&
            QFileInfo(settings::mapForFolder(folder)).isFile())
            map = settings::mapForFolder(folder);
        if (map.isEmpty())
            clearMap(QStringLiteral("请点“选择地图”选择本战役的地图图片"));
        else if (map != mapPath_)
            showMap(map);
    }
    QList<BattleUnit> units = battleUnits(junben_.document());
    const QStringList& people = junben_.personNames();
    QStringList tips;
    for (const BattleUnit& u : units)
        tips << unitDescription(u, people);
    offMapNote->setText(zoom_.natural().isEmpty()
                            ? QString()
                            : scenario::offMapNote(units, zoom_.natural(), people));
    mapImage->setUnits(std::move(units), std::move(tips));
    // A list refilled after an undo or a load has lost its selection.
    showSelection(selectedKind_, junben_.selectedUnit(selectedKind_));
}

void BattleMap::showSelection(UnitKind kind, int index) {
    selectedKind_ = kind;
    selectedIndex_ = index;
    const QList<BattleUnit>& units = mapImage->units();
    int found = -1;
    for (qsizetype i = 0; i < units.size() && found < 0; ++i)
        if (units[i].kind == kind && units[i].index == index)
            found = int(i);
    mapImage->setSelected(found);
    if (found >= 0 && !zoom_.natural().isEmpty()) {
        const QPoint c = mapImage->markerCentre(found);
        mapFrame->ensureVisible(c.x(), c.y(), zoom_.cellSize() * 2, zoom_.cellSize() * 2);
    }
}

void BattleMap::pointerMoved(QPoint pixel) {
    const QPoint cell = zoom_.cellAt(pixel);
    mapX->setText(QString::number(cell.x()));
    mapY->setText(QString::number(cell.y()));
}

void BattleMap::unitPressed(int i) {
    const BattleUnit u = mapImage->units().at(i);
    junben_.selectUnit(u.kind, u.index);
}

void BattleMap::unitDropped(int i, QPoint cell) {
    const BattleUnit u = mapImage->units().at(i);
    if (junben_.moveUnit(u.kind, u.index, cell))
        mapStatus->setText(QStringLiteral("%1 移到 (%2, %3)")
                               .arg(unitTitle(u, junben_.personNames()))
                               .arg(cell.x())
                               .arg(cell.y()));
}

} // namespace lcj::scenario
