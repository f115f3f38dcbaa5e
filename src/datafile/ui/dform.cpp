#include "dform.h"

#include "charactersection.h"
#include "common/ui/controls.h"
#include "common/ui/savelock.h"
#include "common/ui/twinfile.h"
#include "itemsection.h"
#include "shopsection.h"
#include "strategysection.h"
#include "terrainsection.h"
#include "trooptypesection.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace lcj::data {

DForm::DForm(Prompts& prompts, QWidget* parent) : EditorWindow(prompts, parent) {
    setObjectName(QStringLiteral("DForm"));
    setWindowTitle(QStringLiteral("Data文件修改"));
    // Room for the widest section, so switching sections never resizes the window.
    setMinimumSize(960, 600);

    QMenu* fileMenu = named(menuBar()->addMenu(QStringLiteral("文件")), QStringLiteral("file"));
    QAction* fileop = named(fileMenu->addAction(QStringLiteral("打开")), QStringLiteral("fileop"));
    named(fileMenu->addSeparator(), QStringLiteral("wuyiyi"));
    QAction* exit = named(fileMenu->addAction(QStringLiteral("退出")), QStringLiteral("exit"));
    connect(fileop, &QAction::triggered, this, &DForm::fileop_Click);
    connect(exit, &QAction::triggered, this, &DForm::exit_Click);
    edit = named(menuBar()->addMenu(QStringLiteral("修改")), QStringLiteral("edit"));

    gj = named(new QLabel, QStringLiteral("gj"));
    gj->setFixedSize(120, 120);
    gj->setAlignment(Qt::AlignCenter);

    const SectionContext context{
        file_, this->prompts(), gj,
        [this](const std::function<void()>& store) { return saveDocument(store); }};
    addSection(new CharacterSection(context), QStringLiteral("renpre"), QStringLiteral("人物属性"));
    addSection(new ItemSection(context), QStringLiteral("daopre"), QStringLiteral("道具属性"));
    addSection(new ShopSection(context), QStringLiteral("shoppre"), QStringLiteral("商店属性"));
    addSection(new TroopTypeSection(context), QStringLiteral("binpre"), QStringLiteral("兵种属性"));
    addSection(new TerrainSection(context), QStringLiteral("dipfe"), QStringLiteral("地形属性"));
    addSection(new StrategySection(context), QStringLiteral("chepre"), QStringLiteral("策略属性"));

    auto* row = new QHBoxLayout;
    for (DataSection* section : sections_)
        row->addWidget(section, 1);
    row->addWidget(gj, 0, Qt::AlignTop);
    static_cast<QBoxLayout*>(layout())->addLayout(row);

    setSaveKey([this] {
        for (DataSection* section : sections_)
            if (section->isVisible() && section->saveButton()->isEnabled())
                section->saveButton()->click();
    });

    Form_Load();
}

void DForm::addSection(DataSection* section, const QString& entryName, const QString& caption) {
    sections_.push_back(section);
    QAction* entry = named(edit->addAction(caption), entryName);
    connect(entry, &QAction::triggered, this, [this, section] { showSection(section); });
}

void DForm::Form_Load() {
    edit->setEnabled(false);
    hideSections();
}

void DForm::hideSections() {
    for (DataSection* section : sections_) {
        section->hide();
        section->forgetShown();
    }
    gj->clear();
}

bool DForm::mayLeaveSection() {
    for (DataSection* section : sections_)
        if (!section->isHidden() && !section->mayLeave())
            return false;
    return true;
}

bool DForm::mayClose() {
    return mayLeaveSection();
}

void DForm::showSection(DataSection* section) {
    if (!mayLeaveSection())
        return;
    hideSections();
    section->show();
    if (!section->open())
        section->hide();
}

void DForm::fileop_Click() {
    if (!mayLeaveSection())
        return;
    const QString path = offerVirtualStoreTwin(
        this, prompts(),
        prompts().chooseOpenFile(
            this, QStringLiteral("打开"),
            QStringLiteral("岚川记Data文件 (Data.e5 data.e5 DATA.E5);;所有文件 (*)"),
            Prompts::editorFolder()));
    // A cancelled dialog leaves the chosen file and the menu as they were.
    if (path.isEmpty())
        return;
    file_ = DataFile(path);
    edit->setEnabled(true);
    hideSections();
}

bool DForm::saveDocument(const std::function<void()>& store) {
    if (!file_.loaded())
        return false;
    const auto lock = lockForSave(this, prompts(), file_.stamp(), file_.path(),
                                  QStringLiteral("Data文件"), false);
    if (!lock)
        return false;
    if (store)
        store();
    const auto written = file_.save();
    if (!written) {
        prompts().showMessage(this, written.error(), QStringLiteral("Data文件修改"));
        return false;
    }
    return true;
}

void DForm::exit_Click() {
    closeByExitCommand();
}

} // namespace lcj::data
