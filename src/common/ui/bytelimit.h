#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace lcj {

// Keeps the text of a box within the bytes of the field it is stored in, and
// shows the bytes used in a label beside the box ("已用 12/200 字节").
//
// A keystroke, a paste or a drop that would make the text longer than the
// field is refused whole, as a line edit with a maximum length refuses it:
// the text already in the box never changes because of it. A text the window
// shows from a file may be longer than the field (a name stored by another
// tool); it is shown whole, and edits that do not make it longer are taken.
class ByteLimit : public QObject {
    Q_OBJECT
public:
    // How many bytes the field needs for a text.
    using Measure = int (*)(const QString&);

    // For a name box: the trimmed text's GBK bytes, and no more than
    // `characters` characters when that is not -1. The label is named
    // `<box>Bytes`; the caller places it.
    static ByteLimit* attach(QLineEdit* box, int limit, int characters = -1);
    // For a multi-line box, measured by `measure`.
    static ByteLimit* attach(QPlainTextEdit* box, int limit, Measure measure);

    ~ByteLimit() override;

    // The limit attached to `box`, or none.
    static ByteLimit* of(QObject* box);

    QLabel* label() const;
    int limit() const { return limit_; }

    // Shows text read from a file, whatever its size. A window shows stored
    // text through here, never by setting the box's text itself.
    void show(const QString& text);

private:
    ByteLimit(QWidget* box, int limit, Measure measure, int characters = -1);
    // Whether an edit from `before` to `text` is taken.
    bool allows(const QString& text, const QString& before) const;
    void taken(const QString& text);
    void plainTextChanged();

    class Validator;

    QWidget* box_;
    QPointer<QLabel> label_; // owned here until a layout takes it
    int limit_;
    int characters_;
    Measure measure_;
    QString accepted_; // the box's text as last taken
    int acceptedBytes_ = 0;
    // The edits the document reported since the text was last taken.
    int changes_ = 0;
    int changeAt_ = 0, changeRemoved_ = 0, changeAdded_ = 0;
    bool showing_ = false;
    bool reverting_ = false;
};

// A caption label at (row, column), its text box with a byte limit to the
// right of it, and the bytes used beside the box.
QLineEdit* addLabelledNameBox(QGridLayout* grid, int row, int column, const QString& objectName,
                              const QString& caption, int limit, int characters = -1);

} // namespace lcj
