// The one way the control layer reaches the display and the speaker: a
// screen as (code, 0) or a beep pattern as (0, pattern).
#pragma once

namespace cm {

// 1 when a screen was drawn or a pattern sounded; 0 when the request was
// refused and nothing happened (both zero, both set, or out of range).
int outputController(int displayCode, int beepPattern);

}  // namespace cm
