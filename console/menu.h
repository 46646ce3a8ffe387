// The main menu and its actions, shared by both editions; the edition
// profile decides whether the cleaning bookings (7 and 8) are offered.
#pragma once

namespace cm {

// The numbers typed at the prompts.
extern int register1;
extern int register2;
extern int register3;
// Back to the power-on state, as a test begins.
void resetMenuRegisters();

// The menu's further options below its frame.
void hardwareView();

// Draws the menu, reads one choice and carries it out. Returns when the
// action is over (choice 0 ends the process). A choice that is not a whole
// number does nothing, like an unknown number; a prompt answer that is not
// one abandons the action before anything is brewed, booked or written.
void runMenu();

}  // namespace cm
