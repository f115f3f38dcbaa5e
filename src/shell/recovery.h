#pragma once

#include <QString>

namespace lcj {

class MainWindow;
class Prompts;

// The edits a program that ended without saving them left in its journals (RecoveryJournal in
// `folder`, their writers no longer running), offered in one question: each file, the time of
// its last edit and its changes in the change list's words. "恢复" (Enter) opens each file in
// its editor with the edits held, not written (a file changed on disk since is merged with
// them, the editor's values kept where both changed, and the status line says so); "丢弃"
// removes the journals after a second question; Escape keeps them for the next start.
void offerRecovery(MainWindow& window, Prompts& prompts, const QString& folder);

} // namespace lcj
