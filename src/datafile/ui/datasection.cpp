#include "datasection.h"

#include "common/ui/prompts.h"

namespace lcj::data {

DataSection::DataSection(const SectionContext& context, const QString& objectName,
                         const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent), context_(context) {
    setObjectName(objectName);
}

void DataSection::say(const QString& text) {
    context_.prompts.showMessage(window(), text, QStringLiteral("Data文件修改"));
}

} // namespace lcj::data
