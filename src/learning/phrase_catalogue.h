#pragma once
// The 149 choices of every phrase box of the voice learning table. A phrase
// travels to the panels and into the configuration file only by its index,
// so the order is part of the wire protocol and of the file format: no entry
// may move and the list is never sorted.

#include "learning/learning_rows.h"

#include <array>
#include <string_view>

namespace tarvenix {

// Index 0 "禁用" switches a row off; 1..148 are the phrases the panels learn.
// Texts are UTF-8.
using VoicePhraseCatalogue = std::array<std::string_view, phraseChoiceCount>;

const VoicePhraseCatalogue& voicePhraseCatalogue();

// The text of an entry, "" for an index outside 0..148.
std::string_view voicePhrase(int index);

// The index of an entry's text, -1 when no entry has that text.
int voicePhraseIndex(std::string_view phrase);

} // namespace tarvenix
