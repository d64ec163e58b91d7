#pragma once

namespace lw {

class frmMail;

// The end of a run when the main window closes: the save question, the header marker, the other
// windows closed. Runs once; not at all after the program was ended by a guard. False when the
// window stays open: the user cancelled, or the document could not be saved.
bool ShutDown(frmMail& window);

} // namespace lw
