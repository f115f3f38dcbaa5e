#include "banner.h"

#include "common/gui/appicon.h"
#include "common/ui/controls.h"
#include "common/version.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace lcj {

namespace {

// The tops of the title, the credits frame and the credit label as designed.
constexpr int designTops[] = {120, 250, 380};
constexpr int squeezedGap = 4; // least room above, between and below them

} // namespace

Banner::Banner(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picdb"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    Frame1 = named(new QGroupBox(this), QStringLiteral("Frame1"));
    auto* credits = new QVBoxLayout(Frame1);
    const QString lines[] = {
        QStringLiteral("岚川记数据工坊 编写组"),
        QStringLiteral("为岚川记的玩家与修改爱好者而作"),
        QStringLiteral("修改前请备份游戏文件"),
    };
    int n = 2;
    for (const QString& line : lines) {
        auto* label = named(new QLabel(line, Frame1), QStringLiteral("Label%1").arg(n++));
        label->setAlignment(Qt::AlignCenter);
        credits->addWidget(label);
    }
    Frame1->setStyleSheet(QStringLiteral("QGroupBox { background: rgba(255,255,255,150); "
                                         "border: 1px solid #557; border-radius: 6px; }"));
    Frame1->adjustSize();
    Frame1->move(0, designTops[1]);

    Label5 = named(new QLabel(QStringLiteral("数据无价，一字节之差足以毁档：存盘之前请三思"), this),
                   QStringLiteral("Label5"));
    Label5->setStyleSheet(QStringLiteral("color: #223;"));
    Label5->adjustSize();
    Label5->move(0, designTops[2]);

    Label1 = named(new QLabel(QStringLiteral("岚川记数据工坊V" LCJ_VERSION "版"), this),
                   QStringLiteral("Label1"));
    // The title keeps the regular weight: a bold one would load a second CJK
    // font file for these ten characters, some 3 MB of memory and 2 ms of
    // the program's start.
    QFont title = Label1->font();
    title.setPointSize(28);
    Label1->setFont(title);
    Label1->setStyleSheet(QStringLiteral("color: #1b2a4a;"));
    Label1->adjustSize();
    Label1->move(0, designTops[0]);
}

QSize Banner::sizeHint() const {
    // Beside an open editor the banner keeps no more than it needs.
    return minimumSizeHint();
}

QSize Banner::minimumSizeHint() const {
    return {Label5->width(),
            Label1->height() + Frame1->height() + Label5->height() + 4 * squeezedGap};
}

void Banner::paintEvent(QPaintEvent*) {
    // Our own banner, the landscape the setup program's picture shows too.
    QPainter p(this);
    icons::paintLandscape(p, QRectF(rect()));
}

void Banner::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Picdb_Resize();
}

void Banner::Picdb_Resize() {
    QWidget* const parts[] = {Label1, Frame1, Label5};
    const bool roomy = designTops[2] + Label5->height() + squeezedGap <= height();
    // Squeezed: the room left over is shared out evenly above, between and below.
    const int spare = height() - (Label1->height() + Frame1->height() + Label5->height());
    const int gap = std::max(0, spare / 4);
    int top = gap;
    for (int i = 0; i < 3; ++i) {
        QWidget* w = parts[i];
        w->move((width() - w->width()) / 2, roomy ? designTops[i] : top);
        top += w->height() + gap;
    }
}

} // namespace lcj
