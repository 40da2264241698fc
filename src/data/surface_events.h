// The events of the forest and the road: which draw gives which event, who
// is met, and what the stories pay.
#pragma once

#include <array>
#include <cstdint>

#include "data/monster_bits.h"

namespace kelvrin {

enum class ForestEvent { QuietWalk, MineOrWell, DruidStory, Encounter };

// Exploring the forest draws randomNext() % 11 and looks it up here.
inline constexpr std::array<ForestEvent, 11> forestEvents{
    ForestEvent::QuietWalk,  ForestEvent::QuietWalk,  ForestEvent::QuietWalk, ForestEvent::QuietWalk,
    ForestEvent::QuietWalk,  ForestEvent::MineOrWell, ForestEvent::DruidStory, ForestEvent::Encounter,
    ForestEvent::Encounter,  ForestEvent::Encounter,  ForestEvent::Encounter,
};

enum class RoadEvent { QuietWalk, Caravan, Traveller, GuardPatrol, Encounter, Bandits, BanditCamp };

// Exploring the road draws randomNext() % 20 and looks it up here.
inline constexpr std::array<RoadEvent, 20> roadEvents{
    RoadEvent::QuietWalk,   RoadEvent::QuietWalk,   RoadEvent::QuietWalk, RoadEvent::QuietWalk,
    RoadEvent::QuietWalk,   RoadEvent::QuietWalk,   RoadEvent::Caravan,   RoadEvent::Traveller,
    RoadEvent::Traveller,   RoadEvent::Traveller,   RoadEvent::GuardPatrol, RoadEvent::GuardPatrol,
    RoadEvent::Encounter,   RoadEvent::Encounter,   RoadEvent::Encounter, RoadEvent::Encounter,
    RoadEvent::Bandits,     RoadEvent::Bandits,     RoadEvent::Bandits,   RoadEvent::BanditCamp,
};

// The draw of the first bandit event: once the chief is dead the three
// bandit draws become a quiet walk, an encounter and the toll, in order.
constexpr int FirstBanditDraw = 16;

// Random encounters: the habitat and how far below the hero's level the
// monsters stay.
constexpr std::uint32_t ForestHabitat = HabitatForest;
constexpr int ForestDepthBelowLevel = 3;
constexpr std::uint32_t RoadHabitat = HabitatRoad;
constexpr int RoadDepthBelowLevel = 2;

// The forest's story: the wolves around the dog, the worgs and the mad
// treant, with the initiative the animals get and the experience the
// druid's quests pay.
constexpr int WolfPack = 4;
constexpr int WorgPack = 8;
constexpr int WorgInitiativeBonus = 1;
constexpr int TreantInitiativeBonus = 2;
constexpr int WorgsExperience = 2000;
constexpr int TreantExperience = 5000;

// What throwing the crystal into the well gives.
constexpr int WellWisdomGain = 4;
constexpr int WellCharismaGain = 4;

// The caravan's remains: challenge 2..5, gold, an item and gems.
constexpr int CaravanLowestChallenge = 2;
constexpr int CaravanChallenges = 4;
constexpr std::uint32_t CaravanLoot = LootGold | LootItem | LootGems;

// The bandits' toll, their groups and the camp.
constexpr int BanditToll = 10;
constexpr int BanditGroupSmallest = 2;  // 2 or 3
constexpr int CampBandits = 9;

// How a hero whom the bandits fear is greeted: "niebezpieczny z ciebie
// zabójca" (a dangerous killer), fitting the "niebezpieczny" before it.
constexpr const char* FearedHeroTitle = "zabójca";

// Alignment limits: below EvilAlignment the bandits know the hero, at or
// below it the guards do and the camp lets him to its chief; above
// GoodAlignment the innocent hardly see an attack coming.
constexpr int EvilAlignment = -5;
constexpr int GoodAlignment = 5;

// Enemy initiative against a hero who attacks the innocent: good, neutral.
constexpr int TravellerInitiativeGood = -10;
constexpr int TravellerInitiativeNeutral = -2;
constexpr int GuardInitiativeGood = -5;
constexpr int GuardInitiativeNeutral = -1;


}  // namespace kelvrin
