#pragma once
// Qt's own texts that a user of Tavrelo meets (the menus of text boxes, the buttons of message
// boxes, Qt's own file dialog), in Greek: Qt ships no Greek of its own, so the program carries
// a small translation of exactly those texts, built into it.

namespace tavrelo {

// Installs the Greek texts in the running application; true when they were found and loaded.
// Once, before the first screen.
bool installGreekQtTexts();

}  // namespace tavrelo
