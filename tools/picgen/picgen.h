#pragma once

#include <QDir>
#include <QString>

// A family of pictures drawn into the picture folder. Each drawing file
// registers one with a static object:
//   static const bool registered = lcj::pictures::add(u"攻击范围", &drawAttackRanges);
namespace lcj::pictures {

// Draws the family's pictures into `folder`; false when a file could not be written.
using Painter = bool (*)(const QDir& folder);

bool add(const char16_t* family, Painter painter);

} // namespace lcj::pictures
