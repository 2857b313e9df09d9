// Language files: every caption and hint of every window can come from an enciphered
// text file "*.spk" in the folder SpkDir.
//
// Deciphered (code_encode.h, key kLanguageKey of language_key.h), a file is 64 characters of
// anything, then CR LF separated semicolon records (csv_ctrl.h):
//   "###VIRDO-SPK-HEADER###";"16122008";"Name";"N0CALL";"1.2";"1"
//   "frmSetup";"mbtnOk";"TMyButton";"OK";"Apply and close%cr%the settings";""
// Records after the header are form name, component name, class name, caption, hint and
// an extra used by number edits; "%cr%" stands for a line break.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/text/string_list.h"

extern const char* const kSpeakHeaderMarker;  // "###VIRDO-SPK-HEADER###"
extern const char* const kLanguageVersion;    // "1.2"
constexpr std::size_t kSpeakPreambleLength = 64;
// The loader's messages, each with "%s" for the file, folder or words it names.
extern const char* const kSpeakDestroyedText;
extern const char* const kSpeakDeleteText;
extern const char* const kSpeakWrongVersionText;
extern const char* const kSpeakNotReadText;
extern const char* const kSpeakUntranslatedText;
extern const char* const kSpeakUntranslatedMoreText;  // "%d" the lines after the first

// Results of LoadSpeakFile.
constexpr std::uint8_t kSpeakLoaded = 0;
constexpr std::uint8_t kSpeakWrongVersion = 1;
constexpr std::uint8_t kSpeakUnusable = 255;

// "%cr%" to CR LF.
std::string SpeakCrToLineBreak(const std::string& S);
// Each CR and the character after it to "%cr%".
std::string LineBreakToSpeakCr(const std::string& S);

// The part of a version compared: up to and with the character after the first '.', or
// the first character when there is no '.'.
std::string SpeakVersionPart(const std::string& Version);

// The lines of a deciphered language file (its 64 preamble characters already taken
// off): kSpeakLoaded or kSpeakWrongVersion by the header's version, kSpeakUnusable
// without a header. The header line is taken out of Lines.
std::uint8_t ReadSpeakLines(TStringList& Lines);
// Stored (a sorted list that accepts duplicates) takes the lines, as adding them one by
// one would leave it, in n log n.
void StoreSpeakLines(const TStringList& Lines, TStringList& Stored);
// Loads SpkDir + FileName. With CheckOnly the file is only tested; otherwise a valid
// file replaces the stored lines of frmSpeak, which are applied to all windows. Returns
// kSpeakLoaded, kSpeakWrongVersion (with a message, also when checking) or
// kSpeakUnusable (missing, not ".spk", unreadable, larger than a language file can be,
// no header); checking reads the file's header only. The messages go to the
// error box, or into Errors when given (to be shown once a language stands).
std::uint8_t LoadSpeakFile(const std::string& FileName, bool CheckOnly,
                           std::vector<std::string>* Errors = nullptr);
// The name of the language file last loaded (not only checked), or "" before any.
std::string SpeakFileInUse();
// Applies every stored line in list order, then calls OnSpeakLinesApplied. The lines
// left untranslated are reported after, in one plain message box: the first by its
// names, the others by their number (a file made for another build may name thousands
// of components this one lacks, and one box each would keep the program from starting).
void ApplySpeakLines();
// Set by the program: what follows the language beyond the captions (the desktop's own
// dialogs, texts that are composed rather than shown as captions).
extern std::function<void()> OnSpeakLinesApplied;
// The lines that named a component the window lacks, or a class the loader does not
// know: the first one's names, and how many there were.
struct TUntranslatedLines {
  std::string FormName;
  std::string ComponentName;
  int Count = 0;
};
// Applies one component line to the window it names; false when it was not translated.
// A line for a window that does not exist is skipped silently; one for a missing
// component or an unknown class is counted in Untranslated, when given.
bool ApplySpeakLine(const std::string& Line, TUntranslatedLines* Untranslated = nullptr);
