#pragma once

namespace lw {

class frmMail;

// The end of a run when the main window closes: the save question, the header marker, the other
// windows closed. Runs once; not at all after the program was ended by a guard.
void ShutDown(frmMail& window);

} // namespace lw
