#include "scenarioframe.h"

#include "common/ui/controls.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace lcj::scenario {

ScenarioFrame::ScenarioFrame(FrameHost& host, ScenarioDocument& doc, const QString& objectName,
                             const QString& caption)
    : QGroupBox(caption), host_(host), doc_(doc) {
    setObjectName(objectName);
}

void showText(QLineEdit* box, const QString& text) {
    if (box->text() != text)
        box->setText(text);
}

bool selectAgain(QListWidget* list, int row) {
    if (row < 0 || row >= list->count())
        return false;
    const QSignalBlocker blocker(list);
    list->setCurrentRow(row);
    return true;
}

QString noneName() {
    return QStringLiteral("无");
}

QStringList controlValues(const QList<const QWidget*>& controls) {
    QStringList values;
    for (const QWidget* control : controls) {
        if (const auto* box = qobject_cast<const QLineEdit*>(control))
            values.append(box->text());
        else if (const auto* option = qobject_cast<const QRadioButton*>(control))
            values.append(option->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
        else if (const auto* combo = qobject_cast<const QComboBox*>(control))
            values.append(QString::number(combo->currentIndex()));
    }
    return values;
}

int selectedRow(const QListWidget* list, int count) {
    const int row = list->currentRow();
    return row >= 0 && row < count ? row : -1;
}

void showOptions(QButtonGroup* group, QRadioButton* initial, QRadioButton* story,
                 Appearance appearance, bool& kept) {
    kept = appearance == Appearance::Kept;
    if (appearance == Appearance::Initial) {
        initial->setChecked(true);
    } else if (appearance == Appearance::Story) {
        story->setChecked(true);
    } else {
        // An exclusive group cannot be cleared button by button.
        group->setExclusive(false);
        initial->setChecked(false);
        story->setChecked(false);
        group->setExclusive(true);
    }
}

Appearance chosenOptions(const QRadioButton* initial, const QRadioButton* story, bool kept) {
    if (initial->isChecked())
        return Appearance::Initial;
    if (story->isChecked())
        return Appearance::Story;
    // A stored mode the options have no name for is written back as it was.
    return kept ? Appearance::Kept : Appearance::Neither;
}

QListWidget* namedList(const QString& objectName, int width) {
    auto* l = named(new QListWidget, objectName);
    l->setMinimumWidth(width);
    return l;
}

QLabel* namedLabel(const QString& objectName, const QString& caption) {
    return named(new QLabel(caption), objectName);
}

QRadioButton* namedOption(const QString& objectName, const QString& caption) {
    return named(new QRadioButton(caption), objectName);
}

QVBoxLayout* captioned(const QString& caption, QListWidget* list) {
    auto* column = new QVBoxLayout;
    column->addWidget(new QLabel(caption));
    column->addWidget(list);
    return column;
}

} // namespace lcj::scenario
