#pragma once

class QWidget;

// Puts an added control next to one that a window has already laid out,
// without touching the rest of the window's layout.
namespace lcj {

// `extra` goes to the right of `anchor`, in the cell or row `anchor` holds.
// False (and `extra` left unplaced) when `anchor` is in no layout.
bool placeBeside(QWidget* anchor, QWidget* extra);
// `extra` goes just above `anchor`.
bool placeAbove(QWidget* anchor, QWidget* extra);

} // namespace lcj
