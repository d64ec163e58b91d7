#pragma once

namespace lw {

class MainWindow;

// The end of a run when the main window closes: the save question, the header marker, the other
// windows closed. Runs once; not at all after the program was ended by a guard. False when the
// window stays open: the user cancelled, or the document could not be saved.
bool ShutDown(MainWindow& window);

// The end of a run that nobody can be asked about (the session ends, the program was told to
// stop): nothing is saved, no question or message is shown, the header marker is written and the
// other windows are closed. ShutDown does nothing after it.
void ShutDownWithoutQuestion(MainWindow& window);

} // namespace lw
