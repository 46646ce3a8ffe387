// The operator's material screens: recharge and show levels.
#pragma once

namespace cm {

// Asks for the amounts of water, powder and beans and adds them, clamped to
// the capacities with a warning. An answer that is not a number abandons the
// recharge before anything is written.
void renewMaterial();

// Shows the three levels for 4 seconds.
void showMaterial();

}  // namespace cm
