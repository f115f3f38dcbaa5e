#include "lazyiconstyle.h"

#include <QIconEngine>
#include <QPainter>

namespace lcj {

namespace {

// An icon that asks the style for the real one the first time it is drawn or measured.
class LazyIcon : public QIconEngine {
public:
    LazyIcon(const QStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        real().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return real().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return real().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return real().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return real().availableSizes(mode, state);
    }
    // Asked before any drawing; these icons are never empty.
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new LazyIcon(*this); }
    QString key() const override { return QStringLiteral("lcj-lazy"); }

private:
    const QIcon& real() {
        if (real_.isNull())
            real_ = style_->standardIcon(which_);
        return real_;
    }

    const QStyle* style_;
    QStyle::StandardPixmap which_;
    QIcon real_;
};

} // namespace

QIcon LazyIconStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                  const QWidget* widget) const {
    switch (which) {
    case SP_ToolBarHorizontalExtensionButton:
    case SP_ToolBarVerticalExtensionButton:
    case SP_TitleBarNormalButton:
    case SP_TitleBarCloseButton:
    case SP_DockWidgetCloseButton:
        // Every style has these, so the icon is never empty.
        return QIcon(new LazyIcon(baseStyle(), which));
    default:
        return QProxyStyle::standardIcon(which, option, widget);
    }
}

} // namespace lcj
