#include "programfile.h"

#include "common/bytes.h"
#include "common/recordfields.h"

#include <QDir>

namespace lcj::exe {

bool switchOn(QByteArrayView switchBytes) {
    return byteAt(switchBytes, 0) == switchOnByte && byteAt(switchBytes, 4) == switchOnByte;
}

Qt::CheckState switchState(QByteArrayView switchBytes) {
    if (switchOn(switchBytes))
        return Qt::Checked;
    if (byteAt(switchBytes, 0) == switchOffFirst && byteAt(switchBytes, 4) == switchOffFifth)
        return Qt::Unchecked;
    return Qt::PartiallyChecked;
}

void setSwitch(QByteArray& switchBytes, bool on) {
    setByte(switchBytes, 0, on ? switchOnByte : switchOffFirst);
    setByte(switchBytes, 4, on ? switchOnByte : switchOffFifth);
}

QString figureEntryText(const QString& name) {
    return name + figureCaption();
}

QString figureCaption() {
    return QStringLiteral("形象");
}

QString switchCaption() {
    return QStringLiteral("敌军小兵自动升级兵种");
}

Result<int> parseFigure(const QString& text) {
    const auto value = parseChoice(figureCaption(), text, figureCount - 1);
    if (!value.ok())
        return value.why();
    return int(*value);
}

Result<bool> parseSwitch(const QString& text) {
    return parseFlag(switchCaption(), text);
}

QString previewPath(const QString& editorFolder, int figure) {
    if (figure < 0 || figure >= ordinaryFigure)
        return {};
    return QDir(editorFolder).filePath(QStringLiteral("lcjpic/x%1.jpg").arg(figure));
}

ProgramFile::ProgramFile() : regions_({figureRegion, switchRegion}) {}

int ProgramFile::figure(int character) const {
    return byteAt(regions_.bytes(Figures), character);
}

bool ProgramFile::switchOn() const {
    return exe::switchOn(regions_.bytes(Switch));
}

Qt::CheckState ProgramFile::switchState() const {
    return exe::switchState(regions_.bytes(Switch));
}

Failure ProgramFile::confirm(int character, int figure, Qt::CheckState state) {
    const bool on = state == Qt::PartiallyChecked ? switchOn() : state == Qt::Checked;
    if (auto failure = confirm(character, figure, on); !failure.ok())
        return failure;
    // "Off" chosen over a pair that is neither encoding writes the off pattern.
    if (state == Qt::Unchecked && switchState() != Qt::Unchecked)
        setSwitch(regions_.bytes(Switch), false);
    return {};
}

Failure ProgramFile::confirm(int character, int figure, bool on) {
    if (!loaded())
        return QStringLiteral("还没有打开程序文件");
    if (character < 0 || character >= characterCount)
        return QStringLiteral("请先在人物列表中选择一个人物");
    if (figure < 0 || figure > 255)
        return Failure(QStringLiteral("形象：请选择一个形象"), QStringLiteral("形象"));
    setByte(regions_.bytes(Figures), character, static_cast<quint8>(figure));
    // The switch bytes change only when the switch does: a pair that is
    // neither encoding (another build of the program, say) is shown as off and
    // kept as read until the user turns the switch on.
    if (on != switchOn())
        setSwitch(regions_.bytes(Switch), on);
    return {};
}

} // namespace lcj::exe
