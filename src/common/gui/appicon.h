#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSize>

class QPainter;

// The program's own icons, drawn by code at the pixel size asked for: the
// window icon, the icons of lcjworkshop.exe (lcjicongen writes them into .ico
// files) and the Linux package's pictures all come from these two drawings.
namespace lcj::icons {

// The application: a rounded square of evening sky, blue hills, a river and a
// golden scroll (the picture of packaging/lcjworkshop.svg). `size` × `size`
// pixels, transparent around the square; edges that a small size would blur
// sit on whole pixels, and details a size cannot show are left out.
QImage drawAppIcon(int size);

// A mod patch: a page with a folded corner carrying the application's picture.
QImage drawPatchIcon(int size);

// Icons that draw themselves at the size a window, a menu or the system asks
// for, in device pixels: at a display scale of 150 % a 32 px icon is drawn
// at 48 px, never scaled from another size.
QIcon appIcon();
QIcon patchIcon();

// The main window's landscape: a morning sky over three layers of hills and a
// river, filling `area` (the banner behind the title, the setup's picture).
void paintLandscape(QPainter& p, const QRectF& area);

// The picture on the first and last page of the setup program: the landscape
// with the application icon above the hills, `scale` times its design size of
// 164 × 314 (the room the setup's page gives it at 100 %), opaque.
QImage drawSetupPicture(int scale);
QSize setupPictureSize(int scale);

// The sizes a Windows icon file carries (the shell's small and large icons at
// 100 % to 200 %, and 256 for the largest views).
QList<int> iconFileSizes();

} // namespace lcj::icons
