#include "character/feats.h"

#include "core/game_state.h"
#include "core/rules.h"

namespace kelvrin {

bool requirementMet(int kind, int value) {
    switch (kind) {
        case RequireNothing: return true;
        case RequireBaseAttack: return hero.baseAttack >= value;
        case RequireFeat: return (hero.feats & static_cast<std::uint32_t>(value)) != 0;
        case RequireStrength: return hero.attributes[Str] >= value;
        case RequireIntelligence: return hero.attributes[Int] >= value;
        case RequireDexterity: return hero.attributes[Dex] >= value;
        case RequireConstitution: return hero.attributes[Con] >= value;
        case RequireClass: return hero.heroClass == value;
        case RequireRage: return hero.ragesPerDay != 0;
        default: return false;
    }
}

bool canTakeFeat(const FeatDef& feat) {
    if (hasFeat(feat.bit)) return false;
    return requirementMet(feat.req1Kind, feat.req1Value) && requirementMet(feat.req2Kind, feat.req2Value);
}

bool hasFeat(std::uint32_t bit) { return (hero.feats & bit) != 0; }

const FeatDef& featByBit(std::uint32_t bit) { return featTable[static_cast<std::size_t>(bitIndex(bit))]; }

}  // namespace kelvrin
