// The facts in which the two editions of the machine differ, written down
// once. Each program selects its profile at start-up; the shared modules
// read it instead of asking "which edition am I".
#pragma once

#include <string_view>

namespace cm {

struct EditionProfile {
  // Two bytes at each end of a framed row; a border row is twenty of them.
  std::string_view frameGlyph;
  bool statusHeader;       // a status header above every framed screen
  bool standbyRow;         // "standby" on the prompt screens, else a blank row
  int highestDisplayCode;  // 17 shows the cleaning-time prompt screen
  std::string_view thirdMenuRow;
  bool recordsRequest;  // a brew request is copied into the selection registers
  bool cleanSchedule;   // cleaning bookings: a booking without coffee, menus 7 and 8
  bool threeLineMaterialScreen;
};

// coffee_machine: asterisk frames, status header, cleaning bookings.
extern const EditionProfile kFullEdition;
// coffee_machine_basic: the CP949 square as frame, no header, brew bookings only.
extern const EditionProfile kBasicEdition;

const EditionProfile& edition();
void selectEdition(const EditionProfile& profile);

}  // namespace cm
