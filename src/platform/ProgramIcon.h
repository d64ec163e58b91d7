#pragma once

class QIcon;

namespace lw {

// The program's own icon: the desktop's installed one where the icon theme has it, otherwise the
// copy built into the program.
QIcon programIcon();

} // namespace lw
