#pragma once

#include <QProxyStyle>

namespace lcj {

// The platform's style, except that the icons Qt gives a menu bar and a dock
// panel when they are built are read from their pictures only when first
// drawn. Reading a picture makes Qt look through every picture-format plugin
// first, and at start none of these icons is shown.
class LazyIconStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override;
};

} // namespace lcj
