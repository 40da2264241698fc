// The screen that shows the whole hero.
#pragma once

namespace kelvrin {

// Clears the screen and draws the sheet. It does not wait for a key; the
// caller does.
void showCharacterSheet();

}  // namespace kelvrin
