#pragma once

#include <QString>

class QWidget;

namespace lcj {

class Prompts;

// The file to open in place of `chosen`: when Windows keeps its own copy of
// `chosen` under VirtualStore (the game, redirected there, reads that copy),
// the user is told and may open the copy instead. Opening either changes
// nothing on the disk. An empty `chosen` (a cancelled dialog) stays empty.
QString offerVirtualStoreTwin(QWidget* window, Prompts& prompts, const QString& chosen);

} // namespace lcj
