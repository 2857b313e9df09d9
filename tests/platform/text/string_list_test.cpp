#include "platform/text/string_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/text/streams.h"
#include "platform/text/sysutils.h"

namespace {

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
  return lines;
}

std::filesystem::path TempFile(const std::string& name) {
  return std::filesystem::path(::testing::TempDir()) / ("string_list_" + name);
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(TStringList, SortedListKeepsCaseInsensitiveOrderWithDuplicates) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  for (const char* s : {"b", "A", "a", "B", "c"}) list.Add(s);
  EXPECT_EQ(Lines(list), (Strings{"a", "A", "B", "b", "c"}));
  int index = -1;
  EXPECT_TRUE(list.Find("B", index));
  EXPECT_EQ(index, 2);  // the first of the equal run
  EXPECT_EQ(list.IndexOf("b"), 2);
  EXPECT_FALSE(list.Find("bb", index));
  EXPECT_EQ(index, 4);  // where it would go
  EXPECT_FALSE(list.Find("", index));
  EXPECT_EQ(index, 0);
  EXPECT_EQ(list.IndexOf("zz"), -1);
}

TEST(TStringList, DuplicatesIgnoredOrRefused) {
  TStringList list;
  list.SetSorted(true);
  int first = 1, second = 2;
  EXPECT_EQ(list.AddObject("key", &first), 0);
  EXPECT_EQ(list.AddObject("KEY", &second), 0);  // dupIgnore is the default
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Objects(0), &first);
  EXPECT_EQ(list[0], "key");

  list.SetDuplicates(dupError);
  EXPECT_THROW(list.Add("Key"), EStringListError);
  EXPECT_EQ(list.Count(), 1);
  list.SetCaseSensitive(true);
  EXPECT_NO_THROW(list.Add("Key"));
  EXPECT_EQ(list.Count(), 2);
}

TEST(TStringList, CaseSensitiveOrderComparesCodes) {
  TStringList list;
  for (const char* s : {"b", "a", "B", "A"}) list.Add(s);
  list.SetCaseSensitive(true);
  list.SetSorted(true);
  EXPECT_EQ(Lines(list), (Strings{"A", "B", "a", "b"}));
  EXPECT_EQ(list.IndexOf("a"), 2);
  list.SetCaseSensitive(false);  // re-sorts, stable
  EXPECT_EQ(Lines(list), (Strings{"A", "a", "B", "b"}));
  EXPECT_EQ(list.IndexOf("a"), 0);
}

TEST(TStringList, ObjectsTravelWithTheirStrings) {
  int objects[5] = {};
  TStringList list;
  const char* texts[] = {"delta", "alpha", "echo", "charlie", "bravo"};
  for (int i = 0; i < 5; ++i) list.AddObject(texts[i], &objects[i]);
  const auto expectPaired = [&] {
    for (int i = 0; i < list.Count(); ++i) {
      const int original = static_cast<int>(static_cast<int*>(list.Objects(i)) - objects);
      EXPECT_EQ(list[i], texts[original]);
    }
  };
  list.Sort();
  EXPECT_EQ(Lines(list), (Strings{"alpha", "bravo", "charlie", "delta", "echo"}));
  expectPaired();
  list.Exchange(0, 4);
  list.Move(1, 3);
  expectPaired();
  list.CustomSort([](TStringList& l, int a, int b) {
    return static_cast<int>(l[b].size()) - static_cast<int>(l[a].size());  // longest first
  });
  EXPECT_EQ(list[0], "charlie");
  expectPaired();
  list.Delete(0);
  expectPaired();
}

TEST(TStringList, SortIsStableAndSortedListsRefusePositionalChanges) {
  TStringList list;
  int first = 1, second = 2;
  list.AddObject("same", &first);
  list.AddObject("SAME", &second);
  list.Add("a");
  list.SetSorted(true);
  EXPECT_EQ(Lines(list), (Strings{"a", "same", "SAME"}));
  EXPECT_EQ(list.Objects(1), &first);
  EXPECT_THROW(list.Insert(0, "x"), EStringListError);
  EXPECT_THROW(list.Put(0, "x"), EStringListError);
  list.SetSorted(false);
  list.Put(0, "z");
  list.Insert(0, "y");
  EXPECT_EQ(Lines(list), (Strings{"y", "z", "same", "SAME"}));
}

// Random texts over letters of both cases, the characters between the two cases and
// bytes above 127: sorted, each neighbour is in CompareText (CompareStr) order, equal
// texts keep the order they were added in, and Find finds each text.
TEST(TStringList, SortAgreesWithTheListsComparison) {
  const std::string alphabet = "aAbB_[`{\xE4\xC4 ";
  unsigned seed = 7;
  auto next = [&seed] { return seed = seed * 1103515245 + 12345, (seed >> 16) & 0x7FFF; };
  for (const bool caseSensitive : {false, true}) {
    TStringList list;
    list.SetCaseSensitive(caseSensitive);
    std::vector<int> added(400);
    for (int i = 0; i < 400; ++i) {
      std::string text;
      for (unsigned n = next() % 4; n > 0; --n) text += alphabet[next() % alphabet.size()];
      added[i] = i;
      list.AddObject(text, &added[i]);
    }
    list.SetSorted(true);
    for (int i = 1; i < list.Count(); ++i) {
      const int order =
          caseSensitive ? CompareStr(list[i - 1], list[i]) : CompareText(list[i - 1], list[i]);
      ASSERT_LE(order, 0) << i;
      if (order == 0) {
        ASSERT_LT(list.Objects(i - 1), list.Objects(i)) << i;
      }
    }
    for (int i = 0; i < list.Count(); ++i) {
      int found = -1;
      ASSERT_TRUE(list.Find(list[i], found));
      ASSERT_EQ(
          caseSensitive ? CompareStr(list[found], list[i]) : CompareText(list[found], list[i]), 0);
    }
  }
}

TEST(TStringList, IndicesOutOfRangeRaise) {
  TStringList list;
  list.Add("one");
  EXPECT_THROW(list.Get(1), EStringListError);
  EXPECT_THROW(list.Get(-1), EStringListError);
  EXPECT_THROW(list.Delete(1), EStringListError);
  EXPECT_THROW(list.Objects(3), EStringListError);
  EXPECT_THROW(list.Insert(2, "x"), EStringListError);
  EXPECT_THROW(list.Exchange(0, 1), EStringListError);
  EXPECT_THROW(list.Move(0, 1), EStringListError);
  list.Insert(1, "two");  // at the end is fine
  EXPECT_EQ(list.IndexOf("TWO"), 1);
}

TEST(TStringList, TextUsesCrLfAndReadsEveryLineEnd) {
  TStringList list;
  list.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(Lines(list), (Strings{"a", "b", "c", "d"}));
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
  list.SetText("a\n\nb\n");
  EXPECT_EQ(Lines(list), (Strings{"a", "", "b"}));
  list.SetText("\r\n");
  EXPECT_EQ(Lines(list), (Strings{""}));
  list.SetText("x\n\r");  // LF then a lone CR: two line ends
  EXPECT_EQ(Lines(list), (Strings{"x", ""}));
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Text(), "");
}

TEST(TStringList, CommaTextQuotesWhatWouldNotSurvive) {
  TStringList list;
  for (const char* s : {"a", "b c", "d,e", "f\"g", "", "\xE4"}) list.Add(s);
  EXPECT_EQ(list.CommaText(), "a,\"b c\",\"d,e\",\"f\"\"g\",,\xE4");
  TStringList copy;
  copy.SetCommaText(list.CommaText());
  EXPECT_EQ(Lines(copy), Lines(list));

  TStringList single;
  single.Add("");
  EXPECT_EQ(single.CommaText(), "\"\"");
  copy.SetCommaText(single.CommaText());
  EXPECT_EQ(Lines(copy), (Strings{""}));

  // Unquoted items also end at blanks; a trailing comma adds an empty item.
  copy.SetCommaText("a, \"b c\" ,d e,,");
  EXPECT_EQ(Lines(copy), (Strings{"a", "b c", "d", "e", "", ""}));
  copy.SetCommaText("\"unterminated");
  EXPECT_EQ(Lines(copy), (Strings{"unterminated"}));
  copy.SetCommaText("   ");
  EXPECT_EQ(copy.Count(), 0);
}

TEST(TStringList, NamesAndValues) {
  TStringList list;
  list.Add("Port=14580");
  list.Add("plain line");
  list.Add("Host=rotate.aprs.net");
  EXPECT_EQ(list.Values("host"), "rotate.aprs.net");
  EXPECT_EQ(list.Values("missing"), "");
  EXPECT_EQ(list.Names(0), "Port");
  EXPECT_EQ(list.Names(1), "");
  EXPECT_EQ(list.IndexOfName("PORT"), 0);
  list.SetValue("port", "10152");
  EXPECT_EQ(list[0], "port=10152");
  list.SetValue("Filter", "r/50/10/100");
  EXPECT_EQ(list[3], "Filter=r/50/10/100");
  list.SetValue("Host", "");
  EXPECT_EQ(list.IndexOfName("Host"), -1);
  EXPECT_EQ(list.Count(), 3);
}

TEST(TStringList, OnChangeOncePerUpdate) {
  TStringList list;
  int changes = 0;
  list.OnChange = [&](TStringList* sender) {
    EXPECT_EQ(sender, &list);
    ++changes;
  };
  list.Add("a");
  list.Add("b");
  EXPECT_EQ(changes, 2);
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("c");
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(changes, 2);
  list.EndUpdate();
  EXPECT_EQ(changes, 3);
  list.SetText("x\ny\nz");
  EXPECT_EQ(changes, 4);
  list.EndUpdate();  // unbalanced: ignored
  EXPECT_EQ(changes, 4);
}

TEST(TStringList, AssignAndAddStringsCopyObjects) {
  int object = 0;
  TStringList source;
  source.AddObject("b", &object);
  source.Add("a");
  TStringList sorted;
  sorted.SetSorted(true);
  sorted.Add("old");
  sorted.Assign(source);
  EXPECT_EQ(Lines(sorted), (Strings{"a", "b"}));
  EXPECT_EQ(sorted.Objects(1), &object);
  source.AddStrings(source);
  EXPECT_EQ(Lines(source), (Strings{"b", "a", "b", "a"}));
  EXPECT_EQ(source.Objects(2), &object);
  source.Assign(source);
  EXPECT_EQ(source.Count(), 4);
}

TEST(TStringList, FilesAndStreams) {
  const auto path = TempFile("lines.txt");
  TStringList list;
  list.Add("\"AAprsN0CALL\";\"N0CALL\"");
  list.Add("\xE4\xF6\xFC");
  list.Add("");
  list.SaveToFile(path.string());
  EXPECT_EQ(ReadBytes(path), "\"AAprsN0CALL\";\"N0CALL\"\r\n\xE4\xF6\xFC\r\n\r\n");

  TStringList loaded;
  loaded.LoadFromFile(path.string());
  EXPECT_EQ(Lines(loaded), Lines(list));

  std::ofstream(path, std::ios::binary) << "unix\nlines\n";
  loaded.LoadFromFile(path.string());
  EXPECT_EQ(Lines(loaded), (Strings{"unix", "lines"}));
  std::filesystem::remove(path);
  EXPECT_THROW(loaded.LoadFromFile(path.string()), EFOpenError);
  EXPECT_EQ(loaded.Count(), 2);  // a failed load changes nothing

  TMemoryStream stream;
  const std::string head = "HEAD";
  stream.WriteBuffer(head.data(), 4);
  list.SaveToStream(stream);
  stream.SetPosition(4);
  loaded.LoadFromStream(stream);
  EXPECT_EQ(Lines(loaded), Lines(list));
}
