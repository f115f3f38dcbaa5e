#include "banner.h"

#include "common/ui/controls.h"
#include "common/version.h"

#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
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
    // Our own banner: a morning sky over layered hills and a river.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0xcf, 0xe3, 0xf5));
    sky.setColorAt(1, QColor(0xf6, 0xf0, 0xe0));
    p.fillRect(rect(), sky);
    const QColor hills[] = {QColor(0x9d, 0xb7, 0xc9), QColor(0x7a, 0x99, 0xad),
                            QColor(0x58, 0x78, 0x8c)};
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath path;
        const double base = height() * (0.62 + 0.1 * layer);
        path.moveTo(0, height());
        path.lineTo(0, base);
        const int steps = 8;
        for (int i = 1; i <= steps; ++i) {
            const double x = width() * i / double(steps);
            const double peak = base - height() * (0.08 + 0.05 * ((i * (layer + 3)) % 4));
            path.quadTo(x - width() / (2.0 * steps), peak, x, base);
        }
        path.lineTo(width(), height());
        path.closeSubpath();
        p.fillPath(path, hills[layer]);
    }
    p.setPen(QPen(QColor(0xe8, 0xf1, 0xf8), 3));
    p.drawLine(QPointF(0, height() * 0.95), QPointF(width(), height() * 0.9));
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
