#include "editorregistry.h"

namespace lcj {

const EditorKind* EditorRegistry::forEntry(const QString& entryName) const {
    for (const EditorKind& kind : kinds_)
        if (kind.entryName == entryName)
            return &kind;
    return nullptr;
}

const EditorKind* EditorRegistry::forFile(const QString& fileName) const {
    const auto file = gameFileOfName(fileName);
    if (!file)
        return nullptr;
    for (const EditorKind& kind : kinds_)
        if (kind.files.contains(*file) && kind.create)
            return &kind;
    return nullptr;
}

} // namespace lcj
