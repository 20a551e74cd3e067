// What a fuzzer does with the booted home screen, choosing among what is on screen.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "springboard/home_screen.h"

namespace qv::fuzz {

// The open menu's titles in order (none when no menu is open).
std::vector<std::string> menuTitles(host::HomeScreen& home);
// The titles of the alert on screen's buttons (none without an alert).
std::vector<std::string> alertTitles(host::HomeScreen& home);

// choices[choice % (n + 1)], where the index n names `missing`: something not on screen.
std::string chooseTitle(size_t choice, const std::vector<std::string>& choices,
                        const std::string& missing);

// The user's actions, each choosing by index among what exists; a ScenarioError (nothing to
// pick, no prompt pending) is part of the game and swallowed.
void pressIcon(host::HomeScreen& home, size_t choice);
void pickItem(host::HomeScreen& home, size_t choice);
void tapAlert(host::HomeScreen& home, size_t choice);
void answerAuth(host::HomeScreen& home, size_t choice);

// Answers every pending prompt, taps alerts away and closes the menu, so that the next input
// starts from a quiet screen (bounded: a reply may raise another prompt).
void quietScreen(host::HomeScreen& home, size_t choice);

}  // namespace qv::fuzz
