#include "core/rules.h"

#include "core/console.h"
#include "core/random.h"

namespace kelvrin {

int bitIndex(std::uint32_t flag) {
    for (int bit = 1; bit <= 20; ++bit)
        if (flag == (1u << bit)) return bit;
    return 0;
}

int rollHitDie(int size) {
    switch (size) {
        case 4: return randomNext() % 4 + 1;
        case 6: return randomNext() % 5 + 2;
        case 8: return randomNext() % 6 + 3;
        case 10: return randomNext() % 7 + 4;
        case 12: return randomNext() % 8 + 5;
        default: return 0;
    }
}

const char* sizeName(int size) {
    switch (size) {
        case -2: return "malutki";
        case -1: return "mały";
        case 0: return "średni";
        case 1: return "duży";
        default: return "brak";
    }
}

int attributeModifier(int score) {
    const int diff = score - 10;
    return diff >= 0 ? diff / 2 : -((-diff + 1) / 2);
}

void printModifier(const char* shortName, int score) {
    print("%s: %2d (", shortName, score);
    const int modifier = attributeModifier(score);
    if (modifier > 0) {
        printColoured(ColourGreen, "%+d", modifier);
    } else if (modifier < 0) {
        printColoured(ColourRed, "%+d", modifier);
    } else {
        print(" 0");
    }
    setColour(ColourNormal);
    print(")");
}

}  // namespace kelvrin
