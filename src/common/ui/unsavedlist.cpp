#include "unsavedlist.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lcj {

UnsavedList::UnsavedList(const QString& text, const QStringList& files, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("unsavedlist"));
    setWindowTitle(QStringLiteral("未保存的修改"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(text);
    label->setObjectName(QStringLiteral("unsavedtext"));
    label->setWordWrap(true);
    layout->addWidget(label);
    for (qsizetype i = 0; i < files.size(); ++i) {
        auto* box = new QCheckBox(QDir::toNativeSeparators(files[i]));
        box->setObjectName(QStringLiteral("unsaved%1").arg(i));
        box->setChecked(true);
        layout->addWidget(box);
        boxes_.append(box);
    }
    auto* buttons = new QDialogButtonBox;
    QPushButton* save =
        buttons->addButton(QStringLiteral("保存所选"), QDialogButtonBox::AcceptRole);
    QPushButton* discard =
        buttons->addButton(QStringLiteral("不保存"), QDialogButtonBox::DestructiveRole);
    QPushButton* cancel = cancel_ =
        buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    save->setObjectName(QStringLiteral("savechosen"));
    discard->setObjectName(QStringLiteral("discard"));
    cancel->setObjectName(QStringLiteral("cancel"));
    // Enter saves, whichever box has the keyboard; Escape is 取消.
    for (QPushButton* b : {discard, cancel})
        b->setAutoDefault(false);
    save->setDefault(true);
    layout->addWidget(buttons);
    connect(save, &QPushButton::clicked, this, [this] {
        choice_ = Prompts::SaveChoice::Save;
        accept();
    });
    connect(discard, &QPushButton::clicked, this, [this] {
        choice_ = Prompts::SaveChoice::Discard;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, [this] { choice_ = Prompts::SaveChoice::Cancel; });
}

void UnsavedList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cancel_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

QList<bool> UnsavedList::checked() const {
    QList<bool> result;
    for (const QCheckBox* box : boxes_)
        result.append(box->isChecked());
    return result;
}

} // namespace lcj
