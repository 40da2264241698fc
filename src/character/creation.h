// Character creation: the name, the rolled attributes, race and class, the
// first feats, and a fresh game in Hero and WorldState.
#pragma once

#include <cstddef>
#include <string_view>

namespace kelvrin {

enum CreationResult : int {
    CreationCancelled = 0,   // the player cancelled; nothing changed
    CreationDone = 1,        // a new hero is ready in Hero and WorldState
    CreationSaveExists = 2,  // "save_<name>" exists; Hero::name holds the name
};

// The longest hero name, in characters (the graveyard's name field).
constexpr std::size_t MaxNameLength = 30;

// Runs the creation screens; returns a CreationResult. The typed name is
// locked (core/hero_lock.h) for the caller to release when the hero leaves
// play; a name another copy of the game holds is refused with a message
// and CreationCancelled.
int createCharacter();

// Whether a typed name may be used: it becomes part of a file name on any
// system, so "/", "\", control characters, what Windows file names cannot
// hold (: * ? " < > |, a final dot or space, hence also "." and ".."), and
// characters that Windows-1250 cannot hold (the graveyard stores names in
// it) are refused. An empty name is allowed.
bool isAllowedName(std::string_view name);

}  // namespace kelvrin
