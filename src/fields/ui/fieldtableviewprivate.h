#pragma once

#include "celltable.h"
#include "common/ui/prompts.h"
#include "fieldtablemodel.h"
#include "fieldtableview.h"

namespace lcj::fields {

// What a `FieldTableView` holds, and how it writes the cells of a paste or a fill.
struct FieldTableView::Private {
    // A cell a change writes: a record, a field, the typed value.
    struct Target {
        int record;
        int field;
        QString value;
    };

    FieldTableView* q;
    FieldTable& table;
    ChangeRunner run;
    Prompts& prompts;
    FieldTableModel* model = nullptr;
    CellTable* view = nullptr;
    int lastRecord = -1;
    Failure editFailure{};
    QString messageTitle{};

    void say(const QString& message) {
        prompts.showMessage(q, message, messageTitle, Prompts::Icon::Warning);
    }
    // Writes `targets` as one change; on the first refusal the message names that
    // cell, after `lead` ("粘贴没有执行："). `action` names the step: "粘贴", "向下填充".
    Failure runTargets(const QList<Target>& targets, const QString& lead, const QString& action);
    // What a pasted text is as a cell value, or why it cannot be one.
    Result<QString> pastedValue(int record, int column, const QString& text) const;
};

} // namespace lcj::fields
