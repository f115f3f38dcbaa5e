#pragma once

#include "common/regionset.h"
#include "common/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The two regions of the game's program file (Lcj5.exe) that the program-file editor owns.
namespace lcj::exe {

// Byte r is the figure of character r (r = 0..173); the 175th byte is kept as read.
inline constexpr Region figureRegion{24793, 175};
// The first and the fifth byte carry the switch; the three between are kept as read.
inline constexpr Region switchRegion{269801, 5};

inline constexpr int characterCount = 174;
// Figures 0..29 belong to particular characters; 30 is the ordinary figure.
inline constexpr int figureCount = 31;
inline constexpr int ordinaryFigure = 30;

inline constexpr quint8 switchOnByte = 0xEE;
inline constexpr quint8 switchOffFirst = 0xE2;
inline constexpr quint8 switchOffFifth = 0xE8;

enum ProgramRegion : std::size_t { Figures = 0, Switch = 1 };

// "敌军小兵自动升级兵种" is on exactly when both carrying bytes are 0xEE.
bool switchOn(QByteArrayView switchBytes);
// The switch as a check box shows it: on, off (0xE2 and 0xE8), or, for a pair
// that is neither, partly checked.
Qt::CheckState switchState(QByteArrayView switchBytes);
void setSwitch(QByteArray& switchBytes, bool on);

// The captions of the window's figure list and switch box, and how a typed
// text goes in: a figure as its number 0..30, the switch as 1 (on) or 0.
QString figureCaption();
QString switchCaption();
Result<int> parseFigure(const QString& text);
Result<bool> parseSwitch(const QString& text);

// The text of figure entry n (0..29) for the character whose name is `name`.
QString figureEntryText(const QString& name);

// The preview picture of a figure: lcjpic/xN.jpg in `editorFolder`; empty for
// the ordinary figure and for any number without a picture of its own.
QString previewPath(const QString& editorFolder, int figure);

// The in-memory copies of the program file's two regions.
class ProgramFile {
public:
    ProgramFile();

    RegionSet& regions() { return regions_; }
    const RegionSet& regions() const { return regions_; }
    bool loaded() const { return regions_.loaded(); }

    // The stored figure byte of a character, whatever its value.
    int figure(int character) const;
    bool switchOn() const;
    Qt::CheckState switchState() const;

    // "确定": the character's figure and the switch change together, or not at
    // all. The switch bytes are rewritten only when `on` differs from what
    // they show.
    Failure confirm(int character, int figure, bool on);
    // The same from a check box that may be partly checked: that state keeps
    // the switch bytes as read; on or off rewrites them when they differ.
    Failure confirm(int character, int figure, Qt::CheckState state);

private:
    RegionSet regions_;
};

} // namespace lcj::exe
