// Windows-1252, the code page of all the program's text, to and from UTF-16.
//
// Every byte maps to one UTF-16 unit and back, so a text survives a trip through Qt
// unchanged. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 control characters of the same value (U+0081...), as the
// system's own conversion does. UTF-16 text with no Windows-1252 byte becomes '?'
// (one per character, a surrogate pair included).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What the bytes of a program string are: text of the code page; a file or folder name
// as the file system holds it (UTF-8 on every current desktop), any script's letters
// kept; or text as it goes out (TextToSend: the code page where it holds every
// character, else UTF-8), read back as ReceivedTextToUtf16 reads it.
enum class TTextBytes { CodePage, FileName, Sent };

std::u16string Cp1252ToUtf16(std::string_view text);
std::string Utf16ToCp1252(std::u16string_view text);

// Text received from other stations, as it is to be shown: text that is valid UTF-8 (what
// most stations send today) is read as UTF-8, every character of it kept; anything else is
// taken for Windows-1252, as older stations send. Only for showing: what is stored,
// logged or sent keeps the bytes received.
//
// Example: ReceivedTextToUtf16("\xCE\xA3\xCE\xBF 73") == u"\u03A3\u03BF 73",
//          ReceivedTextToUtf16("Gr\xFC\xDF" "e") == u"Gr\u00FC\u00DF" "e".
std::u16string ReceivedTextToUtf16(std::string_view text);
// A file or folder name's bytes as UTF-16 and back, whatever they are: UTF-8 is read as
// such, and each byte that is not part of it (a name written in Latin-1) stands as a
// surrogate without its partner (U+DC00 plus the byte), so the name comes back byte for
// byte and names the file that exists.
//
// Example: FileNameToUtf16("fran\xE7" "ais") == u"fran\xDCE7" "ais",
//          Utf16ToFileName(u"fran\xDCE7" "ais") == "fran\xE7" "ais".
std::u16string FileNameToUtf16(std::string_view name);
std::string Utf16ToFileName(std::u16string_view name);
// True when text is valid UTF-8 with at least one character beyond ASCII: the text that
// ReceivedTextToUtf16 reads as UTF-8, and that no single-byte code page can hold.
bool IsUtf8Text(std::string_view text);

// Text the user typed, as the bytes that go out: Windows-1252 when every character is in
// it, the bytes older stations read; UTF-8, as today's clients send, when one is not.
// Either way ReceivedTextToUtf16 reads the bytes back as typed, so text whose
// Windows-1252 bytes would read as UTF-8 ("\u00C3\u00BC") goes out in UTF-8 as well.
//
// Example: TextToSend(u"Gr\u00FC\u00DF" "e") == "Gr\xFC\xDF" "e",
//          TextToSend(u"\u03A9 73") == "\xCE\xA9 73".
std::string TextToSend(std::u16string_view typed);

// How much of Head may go out ahead of Tail within MaxBytes, as TextToSend counts them:
// the length of Head's longest start that ends at one of Cuts (ascending places in Head
// between whole characters; 0 when none fits). Found in one walk over the text, however
// long a paste: the form the bytes take (one a character, or UTF-8) depends on the whole
// text, so each start is weighed in both.
//
// Example: SendableHeadLength(u"\u0416\u0416\u0416", u"ab", 6, {0, 1, 2, 3}) == 2.
size_t SendableHeadLength(std::u16string_view Head, std::u16string_view Tail, size_t MaxBytes,
                          const std::vector<size_t>& Cuts);
