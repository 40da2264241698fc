#include "character/reader_status.h"

#include "core/console.h"
#include "core/crash_save.h"
#include "core/game_state.h"
#include "data/place_names.h"

namespace kelvrin {

const char* const ReaderKeysText =
    "\n\nKlawisze czytnika ekranu: j - stan postaci (w walce pasek walki), h - otoczenie w podziemiach.";

std::string heroStatusForReader() {
    if (!gameInProgress()) return "Nie ma postaci w grze.";
    const int row = world.location - FirstPlaceCode;
    // A location no file of the game holds (an edited save) has no name.
    const std::string place = row >= 0 && row < static_cast<int>(placeNames.size())
                                  ? formatText(placeNames[static_cast<std::size_t>(row)], world.dungeonLevel + 1)
                                  : "nieznane miejsce";
    return formatText("Pw %d/%d, złoto %d, %s.", hero.hp, hero.maxHp, hero.gold, place.c_str());
}

}  // namespace kelvrin
