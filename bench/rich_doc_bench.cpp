// The rich-text viewer with a long message history: 10,000 paragraphs of a header line
// and a message line, as the message lists hold them. Measures one full format and one
// paint of a screenful (the view scrolled to the middle). Also the measuring of one
// long line, which every wrap, hit test and caret placement on it repeats. And the
// numbering of a long nested list as its markers are appended. And the paint of one
// right-to-left line of many pieces, whose order is taken for the whole line. And the
// paint of a tiled background picture at 1920 x 1080, of the viewer and of eight nested
// tables whose tables and cells all have one, for a 1 x 1 picture beside a 64 x 64 one:
// the tiny one should cost about what the large one does.
//
// Beside Qt's own text engine, in one run: a screenful of the history at 560 x 270 and of a
// 5 MB document of monitor-like paragraphs at 640 x 480 painted as a QTextDocument paints
// the same paragraphs (raw painter, no window), one right-to-left line of 2k to 64k items
// laid out as QTextLayout lays out its text, and one paragraph of 200 to 16k distinct
// words of Hebrew, pointed Hebrew, Arabic or Hebrew mixed with Latin and numbers, wrapped
// at 560 pixels or on one line, laid out as QTextLayout lays it out; the target is a ratio
// of at most 1.0.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "gif/gif_picture.h"
#include "nested_tables.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/test_support/qt_text_peers.h"
#include "richtext/base/code_pages.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/text_measure.h"
#include "richtext/view/rd_platform_canvas.h"
#include "richtext/view/rich_doc.h"
#include "richtext_edit/tables/table_cell.h"
#include "richtext_edit/tables/table_item.h"

namespace {

constexpr int kParagraphs = 10000;

struct History {
  History() : doc(nullptr) {
    style.TextStyles()[0].FontName = "Courier New";
    style.TextStyles()[0].Size = 8;
    style.TextStyles()[1].FontName = "Tahoma";
    style.TextStyles()[1].Size = 11;
    style.ParaStyles()[0].Background.Color = 16711422;
    style.ParaStyles()[1].Background.Color = 13434877;
    doc.SetStyle(&style);
    doc.SetBounds(0, 0, 560, 270);
    for (int i = 0; i < kParagraphs / 2; ++i) {
      doc.AddTextParagraph("DL1ABC-" + std::to_string(i % 16) + " ", 0, 0);
      doc.AddTextContinued(">", 0);
      doc.AddTextContinued("N0CALL   ", 0);
      doc.AddTextContinued(": [WIDE1-1] RX-CNT:1", 0);
      doc.AddTextParagraph("Message number " + std::to_string(i) +
                               " with a few words of text that may wrap on a narrow window",
                           1, 1);
    }
  }
  TRDStyle style;
  TRichDoc doc;
};

void BM_FormatLongHistory(benchmark::State& state) {
  History& h = SharedBenchState<History>();
  for (auto _ : state) h.doc.FormatDocument();
  state.counters["paragraphs"] = kParagraphs;
}
BENCHMARK(BM_FormatLongHistory)->Unit(benchmark::kMillisecond);

void BM_PaintScreenful(benchmark::State& state) {
  History& h = SharedBenchState<History>();
  h.doc.FormatDocument();
  h.doc.SetVScrollPos(h.doc.GetVScrollMax() / 2);
  TBitmap target;
  target.SetSize(h.doc.Width(), h.doc.Height());
  for (auto _ : state) PaintTo(h.doc, target.Canvas(), 0, 0);
}
BENCHMARK(BM_PaintScreenful)->Unit(benchmark::kMicrosecond);

// The paragraphs of a viewer's document as Qt's engine is given them: each text item a run
// in its style's font and colour, each paragraph on its style's background.
std::vector<TPeerParagraph> PeerParagraphs(TRichDoc& doc, const TRDStyle& style) {
  std::vector<TPeerParagraph> paragraphs;
  for (int i = 0; i < doc.ItemCount(); ++i) {
    const TCustomRDItemInfo& item = *doc.RDData().GetItem(i);
    if (item.IsParaStart() || paragraphs.empty()) {
      paragraphs.emplace_back();
      paragraphs.back().Background = style.ParaStyles()[item.ParaNo].Background.Color;
    }
    const TFontInfo& info = style.TextStyles()[doc.RDData().GetActualStyle(item)];
    TPeerTextRun run;
    const std::string& text = doc.RDData().GetItemTextRaw(i);
    run.Text = info.Unicode ? RawUnicodeToWideString(text)
                            : RawUnicodeToWideString(AnsiToRawUnicode(1252, text));
    run.Font.SetName(info.FontName);
    run.Font.SetSize(info.Size);
    run.Font.SetStyle(info.Style);
    run.Font.SetColor(info.Color);
    paragraphs.back().Runs.push_back(std::move(run));
  }
  return paragraphs;
}

// A 5 MB document of monitor-like paragraphs: several text styles a line, Unicode lines,
// links.
struct MonitorDocument {
  MonitorDocument() : doc(nullptr) {
    while (style.TextStyles().Count() < 5) style.TextStyles().Add();
    style.TextStyles().Items(1).Style = fsBold;
    style.TextStyles().Items(2).Color = clRed;
    style.TextStyles().Items(3).Unicode = true;
    style.TextStyles().Items(4).Jump = true;
    style.TextStyles().Items(4).Color = clBlue;
    doc.SetStyle(&style);
    doc.SetBounds(0, 0, 640, 480);
    const std::string header = "fm DL1ABC-9 to APRS via WIDE1-1,WIDE2-2 ctl UI^ pid F0";
    const std::string data =
        "!4903.50N/07201.75W>088/036/A=001234 Mobile on the road & <looking> for contacts";
    const std::string unicode = WideStringToRawUnicode(u"Caf\u00e9 \u4e2d\u6587 mobile station");
    size_t size = 0;
    for (int n = 0; size < 5 * 1024 * 1024; ++n) {
      const std::string stamp = std::to_string(10 + n % 14) + ":" + std::to_string(10 + n % 50);
      doc.AddTextParagraph(header, 0, 0);
      doc.AddTextContinued(" [", 0);
      doc.AddTextContinued(stamp, 1);
      doc.AddTextContinued("] ", 0);
      doc.AddTextParagraph(data, 2, 0);
      doc.AddTextParagraph(unicode, 3, 0);
      doc.AddTextContinued("http://example.org/station", 4);
      size += header.size() + stamp.size() + data.size() + unicode.size() + 30;
    }
  }
  TRDStyle style;
  TRichDoc doc;
};

// One screenful of a viewer's document, from the middle, painted on the raw canvas of a
// bitmap, beside a QTextDocument of the same paragraphs painting the same screenful.
void PaintScreenfulBesideQt(benchmark::State& state, TRichDoc& doc, const TRDStyle& style) {
  doc.FormatDocument();
  doc.SetVScrollPos(doc.GetVScrollMax() / 2);
  TCustomRDFormattedData& data = doc.RDData();
  const int width = doc.ClientWidth(), height = doc.ClientHeight();
  TQtDocumentPeer peer(PeerParagraphs(doc, style), width, doc.LeftMargin);
  const int peerTop =
      int(std::int64_t(peer.Height()) * data.GetVOffs() / std::max(1, data.DocumentHeight));
  TBitmap ours, theirs;
  ours.SetSize(width, height);
  theirs.SetSize(width, height);
  TRDPlatformCanvas canvas(ours.Canvas());
  const TRect screen = Rect(0, 0, width, height);
  SideBySide(
      state,
      [&] {
        data.DrawBackground(canvas, screen);
        data.PaintTo(canvas, screen);
      },
      [&] { peer.PaintScreenful(theirs, peerTop); });
}

void BM_PaintScreenfulBesideQt(benchmark::State& state) {
  if (state.range(0) == 0) {
    History& h = SharedBenchState<History>();
    PaintScreenfulBesideQt(state, h.doc, h.style);
  } else {
    MonitorDocument& m = SharedBenchState<MonitorDocument>();
    PaintScreenfulBesideQt(state, m.doc, m.style);
  }
}
BENCHMARK(BM_PaintScreenfulBesideQt)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The extents of every character of a line of state.range(0) characters, a Unicode item.
void BM_MeasureLongLine(benchmark::State& state) {
  const std::u16string_view words =
      u"Message with a few words of text, caf\u00E9 \u041C\u0438\u0440 ";
  std::u16string line;
  while (line.size() < size_t(state.range(0))) line += words;
  line.resize(size_t(state.range(0)));
  const std::string raw = WideStringToRawUnicode(line);
  TBitmap bitmap;
  bitmap.SetSize(20, 20);
  TRDPlatformCanvas canvas(bitmap.Canvas());
  canvas.Font.Name = "Tahoma";
  std::vector<int> extents;
  for (auto _ : state)
    benchmark::DoNotOptimize(MeasureTextFit(canvas, raw, 560, &extents, rdioUnicodeText));
}
BENCHMARK(BM_MeasureLongLine)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond);

// One numbered item "1." and then state.range(0) items "1.a)", "1.b)" ... below it,
// appended one by one: each is numbered as it comes.
void BM_NumberNestedList(benchmark::State& state) {
  TRDStyle style;
  TRDListInfo& list = style.ListStyles().Add();
  TRDListLevel& top = list.AddLevel();
  top.ListType = rdlstDecimal;
  top.FormatString = "%0:s.";
  TRDListLevel& below = list.AddLevel();
  below.ListType = rdlstLowerAlpha;
  below.FormatString = "%0:s.%1:s)";
  for (auto _ : state) {
    TCustomRDData data;
    data.SetRDStyle(&style);
    for (int i = 0; i <= state.range(0); ++i) {
      data.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&data, 0, i == 0 ? 0 : 1, 1, false));
      data.AddText("item", 0, -1);
    }
    benchmark::DoNotOptimize(data.GetItemCount());
  }
}
BENCHMARK(BM_NumberNestedList)->Arg(16000)->Arg(32000)->Unit(benchmark::kMillisecond);

// One right-to-left paragraph of state.range(0) zero-width items between two Hebrew
// words, all on one line (as a document of invisible marks between its words makes):
// the paint of the line, laid out once.
void BM_PaintRightToLeftLineOfPieces(benchmark::State& state) {
  TRDStyle style;
  style.TextStyles()[0].Unicode = true;
  style.TextStyles()[0].FontName = "DejaVu Sans";
  style.ParaStyles()[0].BiDiMode = rdbdRightToLeft;
  TRichDoc doc(nullptr);
  doc.SetStyle(&style);
  doc.SetBounds(0, 0, 560, 270);
  doc.AddTextParagraph(WideStringToRawUnicode(u"\u05E9\u05DC\u05D5\u05DD 12 "), 0, 0);
  for (int i = 0; i < state.range(0); ++i)
    doc.AddTextContinued(WideStringToRawUnicode(i % 2 ? u"\u200B" : u"\u200D"), 0);
  doc.AddTextContinued(WideStringToRawUnicode(u" abc \u05E2\u05D5\u05DC\u05DD"), 0);
  doc.FormatDocument();
  TBitmap target;
  target.SetSize(doc.Width(), doc.Height());
  for (auto _ : state) PaintTo(doc, target.Canvas(), 0, 0);
  state.counters["pieces"] = double(state.range(0));
}
BENCHMARK(BM_PaintRightToLeftLineOfPieces)
    ->Arg(2000)
    ->Arg(16000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond);

// One right-to-left paragraph of state.range(0) items on one line (no wrap): Hebrew words
// of two to seven letters, a Latin word or a number every eighth, each with its blank.
// Laid out for the first time, beside QTextLayout laying out the same text on one
// right-to-left line.
void BM_LayOutRightToLeftLineBesideQt(benchmark::State& state) {
  TRDStyle style;
  style.TextStyles()[0].Unicode = true;
  style.TextStyles()[0].FontName = "DejaVu Sans";
  style.ParaStyles()[0].BiDiMode = rdbdRightToLeft;
  style.ParaStyles()[0].Options = rdpaoNoWrap;
  std::vector<std::string> words;
  std::u16string line;
  for (int i = 0; i < state.range(0); ++i) {
    std::u16string word;
    if (i % 8 == 3) {
      word = i % 16 == 3 ? u"APRS" : u"1234";
    } else {
      for (int k = 0; k < 2 + (i * 7 + i / 5) % 6; ++k)
        word += char16_t(0x05D0 + (i * 3 + k * 5) % 27);
      if (state.range(1))
        for (int n = i; n > 0; n /= 27) word += char16_t(0x05D0 + n % 27);
    }
    word += u' ';
    line += word;
    words.push_back(WideStringToRawUnicode(word));
  }
  std::unique_ptr<TRichDoc> doc;
  TFont font;
  font.SetName("DejaVu Sans");
  font.SetSize(10);
  SideBySide(
      state, [&] { doc->FormatDocument(); },
      [&] { benchmark::DoNotOptimize(QtLayOutText(font, line, TTextDirection::RightToLeft)); },
      [&] {
        doc = std::make_unique<TRichDoc>(nullptr);
        doc->SetStyle(&style);
        doc->SetBounds(0, 0, 560, 270);
        doc->AddTextParagraph(words[0], 0, 0);
        for (size_t i = 1; i < words.size(); ++i) doc->AddTextContinued(words[i], 0);
      });
  state.counters["pieces"] = double(state.range(0));
  state.counters["lines"] = doc->GetLineNumber(doc->ItemCount() - 1, 1);
}
BENCHMARK(BM_LayOutRightToLeftLineBesideQt)
    ->ArgsProduct({{2000, 16000, 64000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The scripts of a paragraph as users write them: Hebrew, Hebrew with its points, Arabic
// with some of its vowels, and Hebrew with Latin words and numbers between.
enum class TParagraphScript { Hebrew, PointedHebrew, Arabic, Mixed };

// Count distinct words of two to seven letters and the letters that number them, each
// with its blank.
std::u16string DistinctWords(TParagraphScript script, int count) {
  const bool arabic = script == TParagraphScript::Arabic;
  const auto letter = [arabic](int n) {
    // Arabic: alef to ghain and feh to yeh, letters that join on either side or one.
    return arabic ? char16_t(n % 30 < 20 ? 0x0627 + n % 30 : 0x0641 + n % 30 - 20)
                  : char16_t(0x05D0 + n % 27);
  };
  const char16_t hebrewPoints[] = {0x05B8, 0x05B7, 0x05B4, 0x05BC, 0x05B6, 0x05B5, 0x05B0};
  const char16_t arabicVowels[] = {0x064E, 0x0650, 0x064F, 0x0651};
  std::u16string text;
  for (int i = 0; i < count; ++i) {
    if (script == TParagraphScript::Mixed && i % 4 == 1) {
      text += i % 8 == 1 ? u"APRS" : u"net";
      for (int n = i; n > 0; n /= 26) text += char16_t(u'a' + n % 26);
    } else if (script == TParagraphScript::Mixed && i % 4 == 3) {
      for (char c : std::to_string(i * 7)) text += char16_t(c);
    } else {
      const int length = 2 + (i * 7 + i / 5) % 6;
      for (int k = 0; k < length; ++k) {
        text += letter(i * 3 + k * 5);
        if (script == TParagraphScript::PointedHebrew)
          text += hebrewPoints[size_t(i + k) % std::size(hebrewPoints)];
        if (arabic && i % 2 == 0 && k % 2 == 1)
          text += arabicVowels[size_t(i + k) % std::size(arabicVowels)];
      }
      for (int n = i; n > 0; n /= 27) text += letter(n);
    }
    text += u' ';
  }
  return text;
}

// One right-to-left paragraph of state.range(1) distinct words in the script
// state.range(0), one item as a message is, wrapped at the viewer's width of 560 pixels
// (state.range(2) 1) or on one line: laid out afresh each time, beside QTextLayout laying
// out the same text at the same width.
void BM_LayOutParagraphBesideQt(benchmark::State& state) {
  const std::u16string text = DistinctWords(TParagraphScript(state.range(0)), int(state.range(1)));
  const bool wrap = state.range(2) != 0;
  TRDStyle style;
  style.TextStyles()[0].Unicode = true;
  style.TextStyles()[0].FontName = "DejaVu Sans";
  style.ParaStyles()[0].BiDiMode = rdbdRightToLeft;
  if (!wrap) style.ParaStyles()[0].Options = rdpaoNoWrap;
  const std::string raw = WideStringToRawUnicode(text);
  std::unique_ptr<TRichDoc> doc;
  const auto fresh = [&] {
    doc = std::make_unique<TRichDoc>(nullptr);
    doc->SetStyle(&style);
    doc->SetBounds(0, 0, 560, 270);
    doc->AddTextParagraph(raw, 0, 0);
  };
  fresh();
  doc->FormatDocument();
  const int width = wrap ? doc->RDData().TextWidth : 0;
  TFont font;
  font.SetName("DejaVu Sans");
  font.SetSize(10);
  TQtLaidOutText qt;
  SideBySide(
      state, [&] { doc->FormatDocument(); },
      [&] { qt = QtLayOutText(font, text, TTextDirection::RightToLeft, width); }, fresh);
  state.counters["lines"] = doc->GetLineNumber(0, int(text.size()));
  state.counters["qt_lines"] = qt.Lines;
}
BENCHMARK(BM_LayOutParagraphBesideQt)
    ->ArgsProduct({{0, 1, 2, 3}, {200, 2000, 16000}, {1}})
    ->ArgsProduct({{2, 3}, {2000, 16000}, {0}})
    ->Unit(benchmark::kMillisecond);

// A tile of side pixels, not all of one colour.
std::unique_ptr<TBitmap> Tile(int side) {
  auto tile = std::make_unique<TBitmap>();
  tile->SetSize(side, side);
  for (int i = 0; i < side; ++i) tile->Canvas().SetPixels(i, i, RGB(200, 220, (i * 40) % 256));
  return tile;
}

enum class TTileKind { Bitmap, Jpeg, Gif };

// The tile as a picture of the kind: the bitmap, or a JPEG or GIF file of it.
std::unique_ptr<TGraphic> Tile(int side, TTileKind kind) {
  switch (kind) {
    case TTileKind::Jpeg: {
      auto jpeg = std::make_unique<TJPEGImage>();
      jpeg->Assign(*Tile(side));
      return jpeg;
    }
    case TTileKind::Gif: {
      auto gif = std::make_unique<TGIFPicture>();
      gif->Assign(*Tile(side));
      return gif;
    }
    default:
      return Tile(side);
  }
}

struct FullScreenViewer {
  FullScreenViewer() : doc(nullptr) {
    doc.SetStyle(&style);
    doc.SetBounds(0, 0, 1920, 1080);
    target.SetSize(1920, 1080);
  }
  void Paint(benchmark::State& state) {
    doc.FormatDocument();
    for (auto _ : state) PaintTo(doc, target.Canvas(), 0, 0);
    state.counters["tile"] = double(state.range(0));
  }
  TRDStyle style;
  TRichDoc doc;
  TBitmap target;
};

// Arguments: the tile's side, its kind (bitmap, JPEG, GIF).
void BM_PaintTiledViewerBackground(benchmark::State& state) {
  FullScreenViewer v;
  const auto tile = Tile(int(state.range(0)), TTileKind(state.range(1)));
  v.doc.SetBackgroundBitmap(tile.get());
  v.doc.SetBackgroundStyle(bsTiled);
  v.doc.AddTextParagraph("A line over the background", 0, 0);
  v.Paint(state);
}
BENCHMARK(BM_PaintTiledViewerBackground)
    ->ArgsProduct({{1, 64}, {int(TTileKind::Bitmap), int(TTileKind::Jpeg), int(TTileKind::Gif)}})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

// Each table one cell holding a line and the next table, as wide as it can be. Arguments:
// the tile's side, its kind (bitmap, JPEG).
void BM_PaintNestedTiledTableBackgrounds(benchmark::State& state) {
  constexpr int kDepth = 8;
  FullScreenViewer v;
  const auto tile = Tile(int(state.range(0)), TTileKind(state.range(1)));
  AddNestedTiledTables(v.doc.RDData(), tile.get(), kDepth);
  v.Paint(state);
}
BENCHMARK(BM_PaintNestedTiledTableBackgrounds)
    ->ArgsProduct({{1, 64}, {int(TTileKind::Bitmap), int(TTileKind::Jpeg)}})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
