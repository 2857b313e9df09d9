#include "platform/text/local_texts.h"

#include <gtest/gtest.h>

#include "platform/text/format.h"

// A wording stands for its text; one that would not take the text's arguments is left
// out, so that putting a message together never fails on a translation.
TEST(LocalTexts, WordingsStandForTheirTextsWhenTheyTakeTheSameArguments) {
  EXPECT_EQ(LocalText("Wert %d"), "Wert %d");
  SetLocalTexts({{"Wert %d", "Value %d"},
                 {"Datei \"%s\" fehlt", "File \"%s\" missing"},
                 {"Zwischen %d und %d", "Between %d"},
                 {"Nummer %d", "Number %s"},
                 {"100%% sicher %s", "%s 100%% sure"}});
  EXPECT_EQ(Format(LocalText("Wert %d"), 7), "Value 7");
  EXPECT_EQ(Format(LocalText("Datei \"%s\" fehlt"), "a.spk"), "File \"a.spk\" missing");
  EXPECT_EQ(Format(LocalText("Zwischen %d und %d"), 1, 9), "Zwischen 1 und 9");
  EXPECT_EQ(Format(LocalText("Nummer %d"), 3), "Nummer 3");
  EXPECT_EQ(LocalText("100%% sicher %s"), "%s 100%% sure");
  EXPECT_EQ(LocalText("unknown"), "unknown");
  SetLocalTexts({});
  EXPECT_EQ(LocalText("Wert %d"), "Wert %d");
}
