#include "core/csv_ctrl.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/text/string_list.h"
#include "platform/text/sysutils.h"

namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  CsvEscape(text, out);
  return out;
}

std::string Unescaped(const std::string& text) {
  std::string out;
  CsvUnescape(text, out);
  return out;
}

std::string Field(int index, const std::string& rec) {
  std::string field;
  CsvGetField(index, rec, field);
  return field;
}

std::string Doubled(std::string text) {
  CsvDoubleQuotes(text);
  return text;
}

std::string Undoubled(std::string text) {
  CsvUndoubleQuotes(text);
  return text;
}

}  // namespace

TEST(CsvEscape, WritesSeparatorsBlanksQuotesAndControlsAsDecimalCodes) {
  EXPECT_EQ(Escaped("a;b"), "a$59b");
  EXPECT_EQ(Escaped("50%"), "50%%");
  EXPECT_EQ(Escaped("\t"), "#9");
  EXPECT_EQ(Escaped("\x07"), "#7");
  EXPECT_EQ(Escaped(std::string(1, '\0')), "#0");
  EXPECT_EQ(Escaped("a b\"c\r\n"), "a$32b$34c$13$10");
  EXPECT_EQ(Escaped("#$%"), "##$$%%");
  EXPECT_EQ(Escaped("\xE4\xFF~"), "\xE4\xFF~");  // high bytes stay as they are
}

TEST(CsvEscape, EscapedTextSurvivesTrimmingAndQuoting) {
  std::string all;
  for (int code = 0; code < 256; ++code) all += static_cast<char>(code);
  const std::string escaped = Escaped(all);
  EXPECT_EQ(escaped.find_first_of(" \";"), std::string::npos);
  for (const char c : escaped) EXPECT_GT(static_cast<unsigned char>(c), ' ');
  EXPECT_EQ(Unescaped(escaped), all);
}

TEST(CsvUnescape, ReadsEveryEscapeForm) {
  EXPECT_EQ(Unescaped("a$59b"), "a;b");
  EXPECT_EQ(Unescaped("50%%"), "50%");
  EXPECT_EQ(Unescaped("#9x"), "\tx");
  EXPECT_EQ(Unescaped("%065%097"), "Aa");
  EXPECT_EQ(Unescaped("#12"), std::string("\x01") + "2");  // '#' takes one digit only
  // Any two escape characters in a row stand for the second one.
  EXPECT_EQ(Unescaped("#$$%"), "$%");
  EXPECT_EQ(Unescaped(""), "");
}

TEST(CsvUnescape, MalformedEscapeRaisesAndNeverReadsPastTheEnd) {
  for (const char* bad : {"#", "$", "%", "$1", "%12", "ab#", "#x", "$1x", "%1 2", "%256", "$-1"}) {
    SCOPED_TRACE(bad);
    // An exact-size copy lets the address sanitizer see any read past the end.
    const std::string text(bad);
    EXPECT_THROW(Unescaped(text), EConvertError);
  }
  EXPECT_EQ(Unescaped("%255"), "\xFF");
}

TEST(CsvQuotes, DoublingSkipsTheLastCharacterAndUndoublingReversesIt) {
  EXPECT_EQ(Doubled("x\"y"), "x\"\"y");
  EXPECT_EQ(Doubled("\""), "\"");
  EXPECT_EQ(Doubled("ab\""), "ab\"");
  EXPECT_EQ(Doubled("\"\"x"), "\"\"\"\"x");
  EXPECT_EQ(Doubled("plain"), "plain");
  EXPECT_EQ(Doubled(""), "");

  EXPECT_EQ(Undoubled("x\"\"y"), "x\"y");
  EXPECT_EQ(Undoubled("ab\"\""), "ab\"\"");  // a pair ending last is kept
  EXPECT_EQ(Undoubled("\"\""), "\"\"");      // too short
  EXPECT_EQ(Undoubled("a\"b"), "a\"b");

  for (const std::string value : {"x\"y", "\"a\"", "\"\"x", "a\"\"\"b", "q\"", "\"", "\"\"\"\""}) {
    SCOPED_TRACE(value);
    std::string rec;
    CsvAddField("first", rec);
    CsvAddField(value, rec);
    EXPECT_EQ(Field(1, rec), value);
  }
}

TEST(CsvFields, AddedFieldsAreQuotedAndReadBack) {
  std::string rec;
  CsvAddField("abc", rec);
  CsvAddField("x\"y", rec);
  EXPECT_EQ(rec, "\"abc\";\"x\"\"y\"");
  EXPECT_EQ(Field(0, rec), "abc");
  EXPECT_EQ(Field(1, rec), "x\"y");

  std::string trimmed;
  CsvAddField("  padded  ", trimmed);
  EXPECT_EQ(trimmed, "\"padded\"");
}

TEST(CsvFields, GetReadsQuotedAndUnquotedFields) {
  const std::string rec = "  \"a\";b;\"c;d\";;\"\"  ";
  EXPECT_EQ(Field(0, rec), "a");
  EXPECT_EQ(Field(1, rec), "b");
  EXPECT_EQ(Field(2, rec), "c;d");
  EXPECT_EQ(Field(3, rec), "");
  EXPECT_EQ(Field(4, rec), "");
  EXPECT_EQ(Field(5, "\"a\";\"b\";\"c\""), "");
  EXPECT_EQ(Field(-1, rec), "");
  EXPECT_EQ(Field(0, ""), "");
  EXPECT_EQ(Field(0, "   "), "");
  EXPECT_EQ(Field(1, "\"a\";"), "");
}

TEST(CsvFields, SetReplacesTheContentAndKeepsTheQuoting) {
  std::string rec = "\"a\";b;\"c\"";
  CsvSetField(0, "new", rec);
  EXPECT_EQ(rec, "\"new\";b;\"c\"");
  CsvSetField(1, "x\"y", rec);  // an unquoted field gets no quotes
  EXPECT_EQ(rec, "\"new\";x\"\"y;\"c\"");
  CsvSetField(2, "", rec);
  EXPECT_EQ(rec, "\"new\";x\"\"y;\"\"");

  std::string shortRec = "  \"a\" ";
  CsvSetField(3, "z", shortRec);
  EXPECT_EQ(shortRec, "\"a\"");  // only trimmed
}

TEST(CsvFields, DeleteRemovesTheFieldAndItsSeparator) {
  std::string rec = "\"a\";\"b\";\"c\"";
  CsvDeleteField(1, rec);
  EXPECT_EQ(rec, "\"a\";\"c\"");
  CsvDeleteField(1, rec);
  EXPECT_EQ(rec, "\"a\"");
  CsvDeleteField(0, rec);
  EXPECT_EQ(rec, "");

  std::string unquoted = "a;b;c";
  CsvDeleteField(0, unquoted);
  EXPECT_EQ(unquoted, "b;c");
  CsvDeleteField(5, unquoted);
  EXPECT_EQ(unquoted, "b;c");
}

TEST(CsvFields, FieldOpReturnsTheStoredTextOrTheNewRecord) {
  std::string rec = " \"x\"\"y\";\"z\" ";
  std::string result;
  CsvFieldOp(CsvFieldMode::Get, 0, rec, result, "");
  EXPECT_EQ(result, "x\"\"y");  // still doubled
  EXPECT_EQ(rec, "\"x\"\"y\";\"z\"");
  CsvFieldOp(CsvFieldMode::Replace, 1, rec, result, "w");
  EXPECT_EQ(result, "\"x\"\"y\";\"w\"");
  EXPECT_EQ(rec, result);
  CsvFieldOp(CsvFieldMode::Delete, 7, rec, result, "");
  EXPECT_EQ(result, "");
}

// Records with stray, odd or unterminated quotes: whatever the fields come out as,
// every routine stays inside the record.
TEST(CsvFields, OddQuotesNeverLeaveTheRecord) {
  const char* odd[] = {"\"",       "\"\"\"", "\"abc",    "a\"b;c", ";\"",           "\";\";\"",
                       "\"a\"x;b", ";;;",    "\"a\";\"", "x;\"",   "\"\";\"\"\";\""};
  for (const char* text : odd) {
    SCOPED_TRACE(text);
    for (int index = 0; index < 5; ++index) {
      const std::string rec(text);
      std::string field;
      CsvGetField(index, rec, field);
      EXPECT_LE(field.size(), rec.size());
      std::string changed(text);
      CsvSetField(index, "v\"", changed);
      std::string deleted(text);
      CsvDeleteField(index, deleted);
      EXPECT_LE(deleted.size(), rec.size());
    }
  }
  EXPECT_EQ(Field(0, "\"abc"), "abc");  // missing closing quote: runs to the end
  std::string unterminated = "\"abc";
  CsvSetField(0, "z", unterminated);
  EXPECT_EQ(unterminated, "\"z");
}

// Reading many fields in one pass gives each field as reading it alone does, also for
// quoted separators, doubled, stray and unterminated quotes, blanks round the record and
// records with fewer fields.
TEST(CsvFields, OnePassGivesWhatEachFieldReadAloneGives) {
  const char* records[] = {"\"K1\";\"a;b\";\"\";\"12.5\";x;\"y\"\"z\";7",
                           "  \"pad\" ; \"b\";c  ",
                           "a\"b;c;\"d",
                           "\"\";\"\"\";\"",
                           ";;;",
                           "\"a\"x;b;\"c;d\";e",
                           "\"abc",
                           "one",
                           "",
                           "x;\"",
                           "\"q\";"};
  for (const char* text : records) {
    SCOPED_TRACE(text);
    std::string_view fields[9];
    CsvFieldViews(text, fields);
    for (int index = 0; index < 9; ++index) {
      EXPECT_EQ(fields[index], CsvFieldView(index, text)) << "field " << index;
    }
  }
}

namespace {

void AddRecords(TStringList& list, std::initializer_list<const char*> keys) {
  for (const char* key : keys) {
    std::string rec;
    CsvAddField(key, rec);
    CsvAddField("payload", rec);
    list.Add(rec);
  }
}

}  // namespace

TEST(CsvFindRange, FindsTheRunOfEqualKeys) {
  TStringList list;
  AddRecords(list, {"A", "B", "b", "B", "C"});
  int first = 0, last = 0;
  CsvFindRange("b", list, first, last);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, 3);
  CsvFindRange("  a ", list, first, last);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 0);
  CsvFindRange("C", list, first, last);
  EXPECT_EQ(first, 4);
  EXPECT_EQ(last, 4);
  CsvFindRange("D", list, first, last);
  EXPECT_EQ(first, -1);
  EXPECT_EQ(last, -1);
  CsvFindRange("", list, first, last);
  EXPECT_EQ(first, -1);
}

TEST(CsvFindRange, EmptyListAndLongRuns) {
  int first = 7, last = 7;
  CsvFindRange("A", TStringList(), first, last);
  EXPECT_EQ(first, -1);
  EXPECT_EQ(last, -1);

  TStringList many;
  for (int i = 0; i < 50; ++i) many.Add("\"K\";\"" + std::to_string(i) + "\"");
  many.Insert(0, "\"J\"");
  many.Add("\"L\"");
  CsvFindRange("k", many, first, last);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, 50);
}

TEST(CsvFindRange, WorksOnASortedStationStyleList) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  for (const char* key :
       {"AAprsN0CALL", "AAprsDB0ABC", "aaprsn0call", "AAprsZZ9ZZ", "AAprsN0CAL"}) {
    std::string rec;
    CsvAddField(key, rec);
    CsvAddField("x", rec);
    list.Add(rec);
  }
  int first = 0, last = 0;
  CsvFindRange("AAPRSN0CALL", list, first, last);
  EXPECT_EQ(last - first, 1);
  EXPECT_TRUE(SameText(Field(0, list[first]), "AAprsN0CALL"));
  EXPECT_TRUE(SameText(Field(0, list[last]), "AAprsN0CALL"));
}

// Every short text over the characters that matter to the parsers: unescaping either
// succeeds or raises EConvertError, and the field routines stay inside the record (the
// address sanitizer checks every read).
TEST(CsvParsers, ExhaustiveShortInputsFailCleanly) {
  constexpr char kAlphabet[] = {'#', '$', '%', '"', ';', '1', 'a', ' '};
  constexpr int kSymbols = sizeof kAlphabet;
  std::vector<std::string> texts;
  for (int length = 0, combinations = 1; length <= 5; ++length, combinations *= kSymbols) {
    for (int number = 0; number < combinations; ++number) {
      std::string text;
      for (int digits = number, i = 0; i < length; ++i, digits /= kSymbols) {
        text += kAlphabet[digits % kSymbols];
      }
      texts.push_back(text);
    }
  }
  for (const std::string& text : texts) {
    std::string plain;
    try {
      CsvUnescape(text, plain);
    } catch (const EConvertError&) {
    }
    for (int index = 0; index < 3; ++index) {
      std::string field;
      CsvGetField(index, text, field);
      std::string rec = text;
      CsvSetField(index, "v", rec);
      rec = text;
      CsvDeleteField(index, rec);
      ASSERT_LE(rec.size(), text.size());
    }
  }
}
