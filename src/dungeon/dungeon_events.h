// The story events of the underground: the iron golems' pedestal in the
// chamber of challenges, the sleeping Terrasque in the halls of pain, the
// strange sword on the crypt's third level, and the paladin who waits on
// the crypt's first level and takes his leave after twenty crypt fights.
// The dungeon view calls these with the hero already on the new cell.
#pragma once

namespace kelvrin {

// What the dungeon view does after an event.
enum class EventOutcome {
    Stay,      // the hero stays on the cell he stepped onto
    StepBack,  // he returns to the cell he came from
    Died,      // he is dead: the dungeon view ends at once
};

// The event of the SpecialPlace cell of the place the hero is in (nothing
// once that event is done).
EventOutcome specialPlace();

// True when the paladin waits on this level: the crypt's first level, the
// paladin neither dead, nor a friend, nor travelling with the hero.
bool paladinWaitsHere();
// The paladin's meeting: he joins a hero of good standing, and attacks a
// wicked one or one he already fought.
EventOutcome paladinMeeting();

// True when the paladin travelling with the hero takes his leave after the
// crypt fight just won (`fightsOnLevel` counts the fights won on this visit
// of the level).
bool paladinFarewellDue(int fightsOnLevel);
// The paladin thanks the hero, rewards him and leaves; from now on he is a
// friend who comes to the fight against Terrasque.
void paladinFarewell();

}  // namespace kelvrin
