// The program's icons as windows and the system ask for them: drawn afresh at
// the size in device pixels of the display's scale, never scaled from another.
#include "common/gui/appicon.h"
#include "support/testmain.h"

#include <QPainter>
#include <QtTest>

using namespace lcj;

namespace {

QImage argb(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32);
}

struct Drawing {
    QIcon icon;
    QImage (*draw)(int);
};

Drawing drawingNamed(const QString& name) {
    if (name == QLatin1String("patch"))
        return {icons::patchIcon(), icons::drawPatchIcon};
    return {icons::appIcon(), icons::drawAppIcon};
}

} // namespace

class AppIconTest : public QObject {
    Q_OBJECT
private slots:
    void drawnAtTheScale_data();
    void drawnAtTheScale();
    void paintedAtTheScale_data() { drawnAtTheScale_data(); }
    void paintedAtTheScale();
    void patchIsItsOwnPicture();
    void drawnAtEverySize();
};

void AppIconTest::drawnAtTheScale_data() {
    QTest::addColumn<QString>("icon");
    QTest::addColumn<int>("side");
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<int>("pixels");
    for (const QString& icon : {QStringLiteral("app"), QStringLiteral("patch")}) {
        auto row = [&](int side, qreal scale, int pixels) {
            QTest::addRow("%s %d px at %d%%", qPrintable(icon), side, int(scale * 100))
                << icon << side << scale << pixels;
        };
        // Sizes of the icon files, and sizes between them that only a drawing has.
        row(32, 1.0, 32);
        row(16, 1.25, 20);
        row(24, 1.25, 30);
        row(16, 1.5, 24);
        row(24, 1.5, 36);
        row(32, 1.5, 48);
        row(16, 1.75, 28);
        row(32, 1.75, 56);
    }
}

// QIcon::pixmap as a window's title bar, a menu or the task bar ask for it.
void AppIconTest::drawnAtTheScale() {
    QFETCH(QString, icon);
    QFETCH(int, side);
    QFETCH(qreal, scale);
    QFETCH(int, pixels);
    const Drawing drawing = drawingNamed(icon);
    const QPixmap pixmap = drawing.icon.pixmap(QSize(side, side), scale);
    QCOMPARE(pixmap.size(), QSize(pixels, pixels));
    QCOMPARE(pixmap.devicePixelRatio(), scale);
    const QImage image = argb(pixmap.toImage());
    QVERIFY(image == argb(drawing.draw(pixels)));
    if (pixels != side) {
        const QImage scaled = drawing.draw(side).scaled(pixels, pixels, Qt::IgnoreAspectRatio,
                                                        Qt::SmoothTransformation);
        QVERIFY(image != argb(scaled));
    }
}

// QIcon::paint on a device of that scale, as a style draws an icon.
void AppIconTest::paintedAtTheScale() {
    QFETCH(QString, icon);
    QFETCH(int, side);
    QFETCH(qreal, scale);
    QFETCH(int, pixels);
    const Drawing drawing = drawingNamed(icon);
    QImage canvas(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    canvas.setDevicePixelRatio(scale);
    QPainter painter(&canvas);
    drawing.icon.paint(&painter, QRect(0, 0, side, side));
    painter.end();
    canvas.setDevicePixelRatio(1);
    QVERIFY(argb(canvas) == argb(drawing.draw(pixels)));
}

void AppIconTest::patchIsItsOwnPicture() {
    for (int side : icons::iconFileSizes()) {
        const QImage app = icons::drawAppIcon(side);
        const QImage patch = icons::drawPatchIcon(side);
        QCOMPARE(app.size(), QSize(side, side));
        QCOMPARE(patch.size(), QSize(side, side));
        QVERIFY2(argb(app) != argb(patch), qPrintable(QString::number(side)));
    }
    QVERIFY(icons::appIcon().pixmap(32).toImage() != icons::patchIcon().pixmap(32).toImage());
}

// Any size a screen may ask for is drawn, filling its square and no more.
void AppIconTest::drawnAtEverySize() {
    for (auto draw : {icons::drawAppIcon, icons::drawPatchIcon}) {
        for (int side = 1; side <= 300; ++side) {
            const QImage image = argb(draw(side));
            QCOMPARE(image.size(), QSize(side, side));
            int opaque = 0;
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    opaque += qAlpha(image.pixel(x, y)) == 255;
            QVERIFY2(opaque * 2 >= side * side, qPrintable(QString::number(side)));
        }
        QVERIFY(draw(0).isNull());
    }
}

LCJ_TEST_MAIN(AppIconTest)
#include "appicon_test.moc"
