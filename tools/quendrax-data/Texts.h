#pragma once
// The game's texts: an English text for every string id the game shows; the other languages
// carry the same texts marked with their language code, so switching languages is visible.

#include <string>
#include <vector>

namespace qdata {

constexpr int kTextCount = 1214;

// Ids 0..1213; ids the game never shows are empty.
std::vector<std::string> englishTexts();
// The text in language 0-8 (en fr de it sp cn jp ko br): "[fr] Play"; English as it is.
std::string languageText(const std::string& english, int language);

}  // namespace qdata
