// The texts the program shows its user, in the language in use.
//
// Every part of the program, the libraries below it included, writes the texts it shows
// in one language, as a key: LocalText gives the wording of the language in use, which
// the program hands over whenever a language is loaded (SetLocalTexts). A key without a
// wording, or before any language, stands as it is. Texts are looked up when they are
// shown, so a box says what the language in use says.
//
// Example: after SetLocalTexts({{"Wert mu\xDF zwischen %d und %d liegen!",
//                               "Value must lie between %d and %d!"}}),
//          Format(LocalText("Wert mu\xDF zwischen %d und %d liegen!"), 1, 9) gives
//          "Value must lie between 1 and 9!".
#pragma once

#include <map>
#include <string>

// The wording of Text in the language in use, or Text. Safe from any thread.
std::string LocalText(const std::string& Text);

// Replaces the wordings. A wording whose "%" directives differ from its key's (a "%s"
// for a "%d", one too few) is left out: the text is put together with Format, and a
// translation must not make a box fail.
void SetLocalTexts(const std::map<std::string, std::string>& Texts);
