#include "core/csv_ctrl.h"

#include <algorithm>

#include "platform/text/string_list.h"
#include "platform/text/sysutils.h"

namespace {

constexpr char kQuote = '"';
constexpr char kSeparator = ';';
constexpr char kBlank = ' ';
constexpr int kMaxByteCode = 255;

// The escape characters, each standing for a code of that many decimal digits.
constexpr char kOneDigitEscape = '#';
constexpr char kTwoDigitEscape = '$';
constexpr char kThreeDigitEscape = '%';

bool IsEscapeChar(char c) {
  return c == kOneDigitEscape || c == kTwoDigitEscape || c == kThreeDigitEscape;
}

bool NeedsCodeEscape(unsigned char code) {
  return code <= kBlank || code == kQuote || code == kSeparator;
}

int DigitsOf(char escape) {
  return escape == kOneDigitEscape ? 1 : escape == kTwoDigitEscape ? 2 : 3;
}

// The character code spelled by `count` decimal digits at `at`; the text past the end
// of S or anything but a digit is a malformed escape.
char DecodeCode(const std::string& S, size_t at, int count) {
  int code = 0;
  for (int i = 0; i < count; ++i) {
    const size_t p = at + i;
    if (p >= S.size() || S[p] < '0' || S[p] > '9') {
      throw EConvertError("Malformed escape at position " + std::to_string(at) + " of '" + S + "'");
    }
    code = code * 10 + (S[p] - '0');
  }
  if (code > kMaxByteCode) {
    throw EConvertError("Escaped code " + std::to_string(code) + " is not a character");
  }
  return static_cast<char>(code);
}

// Field 0 of a record, upper-cased as the range search compares it.
std::string RecordKey(const TStrings& List, int index) {
  std::string key;
  CsvGetField(0, List.Get(index), key);
  return UpperCase(key);
}

}  // namespace

void CsvEscape(const std::string& S, std::string& Escaped) {
  std::string out;
  out.reserve(S.size());
  // The text between two characters that need escaping goes in whole: every packet's
  // header, data and comment pass here, words that only their blanks interrupt.
  const auto plain = [](char c) {
    return !IsEscapeChar(c) && !NeedsCodeEscape(static_cast<unsigned char>(c));
  };
  for (auto from = S.begin(); from != S.end();) {
    const auto to = std::find_if_not(from, S.end(), plain);
    out.append(from, to);
    if (to == S.end()) break;
    from = to + 1;
    const char c = *to;
    const auto code = static_cast<unsigned char>(c);
    if (IsEscapeChar(c)) {
      out += c;
      out += c;
    } else {
      const std::string digits = std::to_string(code);
      out += digits.size() == 1   ? kOneDigitEscape
             : digits.size() == 2 ? kTwoDigitEscape
                                  : kThreeDigitEscape;
      out += digits;
    }
  }
  Escaped = std::move(out);
}

void CsvUnescape(const std::string& S, std::string& Plain) {
  std::string out;
  out.reserve(S.size());
  for (size_t i = 0; i < S.size();) {
    const char c = S[i];
    if (!IsEscapeChar(c)) {
      out += c;
      ++i;
    } else if (i + 1 < S.size() && IsEscapeChar(S[i + 1])) {
      out += S[i + 1];
      i += 2;
    } else {
      const int digits = DigitsOf(c);
      out += DecodeCode(S, i + 1, digits);
      i += 1 + digits;
    }
  }
  Plain = std::move(out);
}

void CsvDoubleQuotes(std::string& S) {
  if (S.find(kQuote) == std::string::npos) return;
  std::string out;
  out.reserve(S.size() + 4);
  for (size_t i = 0; i + 1 < S.size(); ++i) {
    out += S[i];
    if (S[i] == kQuote) out += kQuote;
  }
  out += S.back();
  S = std::move(out);
}

void CsvUndoubleQuotes(std::string& S) {
  if (S.size() < 3 || S.find("\"\"") == std::string::npos) return;
  // 0-based form of "p from 2 while p is below the length": the last character is
  // never the second of a reduced pair.
  for (size_t i = 1; i + 1 < S.size(); ++i) {
    if (S[i - 1] == kQuote && S[i] == kQuote) S.erase(i, 1);
  }
}

namespace {

// Where field Index of a trimmed record lies: from its first character (start) to the
// one after it and its closing quote (end); its content from begin to finish.
struct TFieldSpan {
  size_t start = 0;
  size_t begin = 0;
  size_t finish = 0;
  size_t end = 0;
};

bool FindField(std::string_view Rec, int Index, TFieldSpan& Span) {
  if (Rec.empty() || Index < 0) return false;
  const size_t n = Rec.size();

  // Start of the field: after the Index-th ';' that stands outside quotes.
  size_t start = 0;
  if (Index > 0) {
    bool inQuotes = false;
    int separators = 0;
    size_t p = 0;
    for (; p < n; ++p) {
      if (Rec[p] == kQuote) {
        inQuotes = !inQuotes;
      } else if (!inQuotes && Rec[p] == kSeparator && ++separators == Index) {
        break;
      }
    }
    if (p == n) return false;
    start = p + 1;
  }
  if (start >= n) return false;

  // A quoted field ends at a quote followed by ';' or standing last; one whose closing
  // quote is missing runs to the end of the record.
  Span.start = start;
  if (Rec[start] == kQuote) {
    Span.begin = start + 1;
    size_t q = Span.begin;
    while (q < n && !(Rec[q] == kQuote && (q + 1 == n || Rec[q + 1] == kSeparator))) ++q;
    Span.finish = q;
    Span.end = q < n ? q + 1 : n;
  } else {
    const size_t separator = Rec.find(kSeparator, start);
    Span.begin = start;
    Span.finish = Span.end = separator == std::string_view::npos ? n : separator;
  }
  return true;
}

std::string_view Trimmed(std::string_view S) {
  size_t first = 0;
  size_t last = S.size();
  while (first < last && static_cast<unsigned char>(S[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(S[last - 1]) <= ' ') --last;
  return S.substr(first, last - first);
}

}  // namespace

void CsvFieldOp(CsvFieldMode Mode, int Index, std::string& Rec, std::string& Result,
                const std::string& NewValue) {
  Result.clear();
  Rec = Trim(Rec);
  TFieldSpan span;
  if (!FindField(Rec, Index, span)) return;
  switch (Mode) {
    case CsvFieldMode::Get:
      Result = Rec.substr(span.begin, span.finish - span.begin);
      break;
    case CsvFieldMode::Replace:
      Rec.replace(span.begin, span.finish - span.begin, NewValue);
      Result = Rec;
      break;
    case CsvFieldMode::Delete: {
      const size_t n = Rec.size();
      const size_t eraseEnd = span.end < n && Rec[span.end] == kSeparator ? span.end + 1 : span.end;
      Rec.erase(span.start, eraseEnd - span.start);
      if (!Rec.empty() && Rec.back() == kSeparator) Rec.pop_back();
      Result = Rec;
      break;
    }
  }
}

std::string_view CsvFieldView(int Index, std::string_view Rec) {
  Rec = Trimmed(Rec);
  TFieldSpan span;
  if (!FindField(Rec, Index, span)) return {};
  return Rec.substr(span.begin, span.finish - span.begin);
}

void CsvFieldViews(std::string_view Rec, std::span<std::string_view> Fields) {
  Rec = Trimmed(Rec);
  for (std::string_view& field : Fields) field = {};
  // Each field starts right after a separator outside quotes, where a search from the
  // record's start would be outside quotes too: the rest is searched as a record.
  for (std::string_view& field : Fields) {
    TFieldSpan span;
    if (!FindField(Rec, 0, span)) return;
    field = Rec.substr(span.begin, span.finish - span.begin);
    if (!FindField(Rec, 1, span)) return;
    Rec.remove_prefix(span.start);
  }
}

void CsvGetField(int Index, const std::string& Rec, std::string& Field) {
  Field = CsvFieldView(Index, Rec);
  CsvUndoubleQuotes(Field);
}

void CsvSetField(int Index, const std::string& Value, std::string& Rec) {
  std::string doubled = Value;
  CsvDoubleQuotes(doubled);
  std::string result;
  CsvFieldOp(CsvFieldMode::Replace, Index, Rec, result, doubled);
}

void CsvDeleteField(int Index, std::string& Rec) {
  std::string result;
  CsvFieldOp(CsvFieldMode::Delete, Index, Rec, result, std::string());
}

void CsvAddField(const std::string& Value, std::string& Rec) {
  // Written straight into the record: a station record is built of 24 fields for every
  // packet.
  const std::string_view field = Trimmed(Value);
  if (!Rec.empty()) Rec += kSeparator;
  Rec += kQuote;
  if (field.find(kQuote) == std::string_view::npos) {
    Rec += field;
  } else {
    // Every quote doubled but a last one, as CsvDoubleQuotes does.
    for (size_t i = 0; i < field.size(); ++i) {
      Rec += field[i];
      if (field[i] == kQuote && i + 1 < field.size()) Rec += kQuote;
    }
  }
  Rec += kQuote;
}

void CsvFindRange(const std::string& Key, const TStrings& List, int& First, int& Last) {
  First = -1;
  Last = -1;
  const std::string key = UpperCase(Trim(Key));
  int low = 0;
  int high = List.Count() - 1;
  int found = -1;
  while (low <= high && found < 0) {
    const int middle = low + (high - low) / 2;
    const int order = CompareStr(RecordKey(List, middle), key);
    if (order == 0) {
      found = middle;
    } else if (order < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
    }
  }
  if (found < 0) return;
  First = Last = found;
  while (First > 0 && RecordKey(List, First - 1) == key) --First;
  while (Last + 1 < List.Count() && RecordKey(List, Last + 1) == key) ++Last;
}
