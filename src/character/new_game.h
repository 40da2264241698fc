// Starting a game. Until character creation exists the hero is a plain
// default one; creation replaces this.
#pragma once

namespace kelvrin {

void startNewGame();

}  // namespace kelvrin
