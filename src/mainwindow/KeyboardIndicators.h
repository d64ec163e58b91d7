#pragma once

#include <optional>

namespace lw {

// The lock keys' states as the keyboard's indicators show them; std::nullopt where the platform
// does not tell (no X11 display, as under the offscreen platform or Wayland).
struct KeyboardIndicators
{
    std::optional<bool> numLock;
    std::optional<bool> capsLock;
    std::optional<bool> scrollLock;

    static KeyboardIndicators read();
};

} // namespace lw
