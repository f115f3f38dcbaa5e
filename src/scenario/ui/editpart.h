#pragma once

namespace lcj::scenario {

// Boxes stored by a button of their own: whether they hold values typed but
// not stored, and storing them.
class EditPart {
public:
    virtual ~EditPart() = default;
    virtual bool holdsEdits() const = 0;
    // Stores the boxes as the button does; false when refused with a message.
    virtual bool confirmEdits() = 0;
};

} // namespace lcj::scenario
