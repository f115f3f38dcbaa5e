// The program's style draws group box frames and scroll bars in bands for
// speed: the pixels must be exactly those of the style it stands on, at every
// display scale.
#include "common/ui/workshopstyle.h"
#include "support/testmain.h"

#include <QGroupBox>
#include <QPainter>
#include <QScrollBar>
#include <QStyleFactory>
#include <QtTest>
#include <memory>

using namespace lcj;

namespace {

QImage rendered(QWidget& widget, QStyle* style, qreal scale) {
    widget.setStyle(style);
    QImage image(widget.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(QColor(0xd8, 0xe4, 0xf0));
    QPainter painter(&image);
    widget.render(&painter);
    return image;
}

} // namespace

class WorkshopStyleTest : public QObject {
    Q_OBJECT
private slots:
    void drawsWhatItsBaseDraws_data();
    void drawsWhatItsBaseDraws();
};

void WorkshopStyleTest::drawsWhatItsBaseDraws_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("scale");
    const struct {
        const char* kind;
        QSize size;
    } widgets[] = {
        {"titled group box", {230, 317}},     {"untitled group box", {180, 401}},
        {"checkable group box", {200, 150}},  {"short group box", {120, 20}},
        {"scroll bar at the top", {17, 389}}, {"scroll bar in the middle", {17, 250}},
        {"scroll bar at the end", {14, 704}}, {"short scroll bar", {17, 50}},
        {"wide scroll bar", {300, 17}},
    };
    for (const auto& w : widgets)
        for (qreal scale : {1.0, 1.25, 1.5, 2.0})
            QTest::addRow("%s at %g", w.kind, scale)
                << QString::fromLatin1(w.kind) << w.size << scale;
}

void WorkshopStyleTest::drawsWhatItsBaseDraws() {
    QFETCH(QString, kind);
    QFETCH(QSize, size);
    QFETCH(qreal, scale);
    std::unique_ptr<QWidget> widget;
    if (kind.contains(QLatin1String("scroll bar"))) {
        auto* bar =
            new QScrollBar(kind.startsWith(QLatin1String("wide")) ? Qt::Horizontal : Qt::Vertical);
        bar->setRange(0, 500);
        bar->setPageStep(40);
        bar->setValue(kind.endsWith(QLatin1String("middle")) ? 230
                      : kind.endsWith(QLatin1String("end"))  ? 500
                                                             : 0);
        widget.reset(bar);
    } else {
        auto* box = new QGroupBox(
            kind.startsWith(QLatin1String("untitled")) ? QString() : QStringLiteral("人物"));
        box->setCheckable(kind.startsWith(QLatin1String("checkable")));
        widget.reset(box);
    }
    widget->resize(size);
    std::unique_ptr<QStyle> base(QStyleFactory::create(QStringLiteral("Fusion")));
    const QImage expected = rendered(*widget, base.get(), scale);
    WorkshopStyle ours(QStyleFactory::create(QStringLiteral("Fusion")));
    const QImage drawn = rendered(*widget, &ours, scale);
    widget->setStyle(nullptr);
    QCOMPARE(drawn, expected);
}

LCJ_TEST_MAIN(WorkshopStyleTest)
#include "workshopstyle_test.moc"
