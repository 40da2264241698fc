#include "character/new_game.h"

#include "core/game_state.h"
#include "core/rules.h"

namespace kelvrin {

void startNewGame() {
    resetForNewGame();
    hero.name = "Bohater";
    hero.attributes = {10, 10, 10, 10, 10, 10};
    hero.maxHp = 12 + attributeModifier(hero.attributes[Con]);
    hero.hp = hero.maxHp;
}

}  // namespace kelvrin
