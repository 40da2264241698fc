#include "world/rest.h"

#include <cmath>

#include "core/console.h"
#include "core/game_state.h"

namespace kelvrin {

int restDays(int typed, float hpPerDay) {
    if (typed == -1) {
        const float days = std::ceil(static_cast<float>(hero.maxHp - hero.hp) / hpPerDay);
        if (!(days >= 1.0f)) return 0;  // nothing to heal
        typed = days > static_cast<float>(MaxRestDays) ? MaxRestDays + 1 : static_cast<int>(days);
    }
    if (typed < 1) return 0;
    if (typed > MaxRestDays) {
        print("Możesz odpoczywać najwyżej %d dni.\n\n(ok)", MaxRestDays);
        pauseOk();
        return 0;
    }
    return typed;
}

}  // namespace kelvrin
