// The mayor's house in the town: his chain of quests with their rewards,
// the orc raid on the town, land for the hero's home, reopening the mine,
// and attacking the mayor for the bandit chief.
#pragma once

namespace kelvrin {

// Where the mayor's chain of quests stands (WorldState::questKind): an odd
// kind up to 10 is a running quest, the even kind before it means the quest
// is ready to be handed out.
enum QuestKind : int {
    QuestCoward = -1,         // fled from the orc raid: no more quests, for good
    QuestNone = 0,
    QuestFiveFoes = 1,        // questStage counts the enemies killed
    QuestBandits = 3,         // questStage 1 once a band of robbers is beaten
    QuestFifthLevel = 5,      // questStage 1 once the fifth dungeon level is reached
    QuestOrcRaid = 6,         // the orcs attack as soon as the hero asks
    QuestBanditChief = 8,     // questStage 1 once the chief is dead
    QuestDeathKnights = 10,   // questStage counts the death knights killed
    QuestChainFinished = 11,
};

// Shows the mayor's house once: true while it wants to be shown again (the
// town calls it in a loop), false to go back to the town.
bool mayorScreen();

}  // namespace kelvrin
