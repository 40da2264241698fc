// The program's outer shell: the main menu, the information screen, the
// location loop that runs one game, and the save-and-quit prompt.
#pragma once

namespace kelvrin {

// The main menu until the player chooses "0. Wyjście"; returns 0 then.
int runProgram();
// Plays one game from the current hero and world until the hero dies or a
// screen sets `leaveLoop`.
void runLocationLoop();
// "Czy chcesz zapisać grę? (tak/nie/anuluj)": sets `leaveLoop` after a
// successful save or a quit without saving; a cancel or a failed save
// leaves the hero where he is.
void saveAndQuitPrompt();

}  // namespace kelvrin
