#include "fieldtableview.h"

#include "common/ui/prompts.h"

#include <QTableView>
#include <QVBoxLayout>

namespace lcj::fields {

QList<QStringList> parseTabularText(const QString&) {
    return {};
}
QString tabularText(const QList<QStringList>&) {
    return {};
}

struct FieldTableView::Private {
    FieldTable& table;
    ChangeRunner run;
    Prompts& prompts;
    QTableView* view = nullptr;
    QString filter{};
};

FieldTableView::FieldTableView(FieldTable& table, ChangeRunner run, Prompts& prompts,
                               QWidget* parent)
    : QWidget(parent), d(new Private{table, std::move(run), prompts}) {
    d->view = new QTableView(this);
    d->view->setObjectName(QStringLiteral("table"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->view);
}

FieldTableView::~FieldTableView() = default;

FieldTable& FieldTableView::table() const {
    return d->table;
}
QTableView* FieldTableView::view() const {
    return d->view;
}
void FieldTableView::setSaved(const FieldTable*) {}
void FieldTableView::refresh() {}
void FieldTableView::setFilter(const QString& text) {
    d->filter = text;
}
QString FieldTableView::filter() const {
    return d->filter;
}
int FieldTableView::currentRow() const {
    return -1;
}
void FieldTableView::setCurrentRow(int) {}
void FieldTableView::copy() {}
void FieldTableView::paste() {}
void FieldTableView::fillDown() {}
bool FieldTableView::eventFilter(QObject* watched, QEvent* event) {
    return QWidget::eventFilter(watched, event);
}

} // namespace lcj::fields
