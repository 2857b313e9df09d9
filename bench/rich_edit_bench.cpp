// The rich-text editor on a 1 MB document of 10,000 paragraphs, laid out in a window:
// typing a character (with its undo record and the layout of its paragraph), deleting a
// selection of 100 paragraphs as one undo step, undoing that deletion, and the memory the
// undo list takes for 10,000 typed characters (counted by this program's allocator).
// Then work that grows with a pasted document or a selection: an RTF of many short
// paragraphs (of one piece, and of two pieces to join) inserted at the caret beside the
// same RTF read into an empty editor, and a text style applied to many selected lines of
// one and of three pieces, undone and redone; each should grow with its size. And a
// document of pictures past the height bound read, laid out and painted at its end.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/paint_to.h"
#include "platform/gui/controls/virtual_keys.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/metafile_renderings.h"
#include "platform/sys/application.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/test_support/qt_text_peers.h"
#include "platform/text/streams.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/model/item_kinds.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/rich_doc_edit.h"
#include "richtext_edit/rtf/rtf_import.h"
#include "richtext_edit/rtf/rtf_insert.h"

namespace {

std::atomic<long long> live_bytes{0};

constexpr int kDeletedParagraphs = 100;

struct Document {
  Document() : edit(nullptr) {
    edit.SetStyle(&style);
    edit.SetBounds(0, 0, 640, 480);
    const std::string words =
        "the quick brown fox jumps over the lazy dog while the station beacons its position ";
    for (int i = 0; i < paragraphs; ++i) {
      std::string text = "Paragraph " + std::to_string(i) + ": " + words;
      edit.AddTextParagraph(text.substr(0, 100), 0, 0);
    }
    edit.FormatDocument();
  }
  void PlaceCaret(int itemNo, int offset) {
    edit.EditData().PlaceCaretAtItem(itemNo, offset, false);
  }
  int paragraphs = BenchStations(10000);
  TRDStyle style;
  TRichDocEdit edit;
};

void BM_TypeCharacterAndLayOutItsParagraph(benchmark::State& state) {
  Document& d = SharedBenchState<Document>();
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    d.PlaceCaret((i++ * 7919) % d.paragraphs, 20);
    state.ResumeTiming();
    d.edit.TypeChar(u'x');
  }
  d.edit.ClearUndo();
  state.counters["paragraphs"] = d.paragraphs;
}
BENCHMARK(BM_TypeCharacterAndLayOutItsParagraph)->Unit(benchmark::kMicrosecond);

void SelectParagraphs(Document& d, int first) {
  d.edit.SetSelectionRange(first, 1, first + kDeletedParagraphs - 1,
                           d.edit.GetItemEndOffset(first + kDeletedParagraphs - 1));
}

void BM_DeleteHundredParagraphsWithUndo(benchmark::State& state) {
  Document& d = SharedBenchState<Document>();
  const int first = d.paragraphs / 2;
  for (auto _ : state) {
    state.PauseTiming();
    SelectParagraphs(d, first);
    state.ResumeTiming();
    d.edit.DeleteSelection();
    state.PauseTiming();
    d.edit.Undo();
    state.ResumeTiming();
  }
  d.edit.ClearUndo();
}
BENCHMARK(BM_DeleteHundredParagraphsWithUndo)->Unit(benchmark::kMillisecond);

void BM_UndoHundredParagraphDeletion(benchmark::State& state) {
  Document& d = SharedBenchState<Document>();
  const int first = d.paragraphs / 2;
  for (auto _ : state) {
    state.PauseTiming();
    SelectParagraphs(d, first);
    d.edit.DeleteSelection();
    state.ResumeTiming();
    d.edit.Undo();
  }
  d.edit.ClearUndo();
}
BENCHMARK(BM_UndoHundredParagraphDeletion)->Unit(benchmark::kMillisecond);

// 10,000 characters typed in runs of 10 (a word and its blank), each run in another
// paragraph, and typed in one run: the bytes the undo list holds afterwards.
void BM_UndoListMemoryForTypedCharacters(benchmark::State& state) {
  Document& d = SharedBenchState<Document>();
  const int runLength = int(state.range(0));
  long long bytes = 0;
  const int characters = BenchStations(10000);
  for (auto _ : state) {
    d.edit.ClearUndo();
    for (int typed = 0; typed < characters; typed += runLength) {
      d.PlaceCaret((typed / runLength * 7919) % d.paragraphs, 30);
      for (int c = 0; c < runLength; ++c) d.edit.TypeChar(u'a' + char16_t(c % 26));
    }
    const long long withSteps = live_bytes.load();
    d.edit.ClearUndo();
    bytes = withSteps - live_bytes.load();
  }
  state.counters["undo_bytes"] = double(bytes);
  state.counters["characters"] = characters;
}
BENCHMARK(BM_UndoListMemoryForTypedCharacters)
    ->Arg(10)
    ->Arg(500)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A pasted text of `paragraphs` short paragraphs.
std::string ShortParagraphsRTF(int paragraphs) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20\n";
  for (int i = 0; i < paragraphs; ++i) rtf += "Line " + std::to_string(i) + " of the log\\par\n";
  return rtf + "}";
}

struct Editor {
  Editor() : edit(nullptr) {
    edit.SetStyle(&style);
    edit.SetBounds(0, 0, 640, 480);
  }
  TRDStyle style;
  TRichDocEdit edit;
};

// Three lines laid out, the caret inside the middle one: where a paste goes.
std::unique_ptr<Editor> EditorWithCaretInALine() {
  auto editor = std::make_unique<Editor>();
  editor->edit.AddTextParagraph("Before the paste", 0, 0);
  editor->edit.AddTextParagraph("The caret stands in this line", 0, 0);
  editor->edit.AddTextParagraph("After the paste", 0, 0);
  editor->edit.FormatDocument();
  editor->edit.EditData().PlaceCaretAtItem(1, 10, false);
  return editor;
}

void StreamOf(const std::string& text, TMemoryStream& stream) {
  stream.Clear();
  stream.WriteBuffer(text.data(), text.size());
  stream.SetPosition(0);
}

// The control: the same RTF read into an empty editor and laid out.
void BM_ReadRTFIntoEmptyEditor(benchmark::State& state) {
  const int paragraphs = BenchStations(int(state.range(0)));
  TMemoryStream stream;
  StreamOf(ShortParagraphsRTF(paragraphs), stream);
  for (auto _ : state) {
    state.PauseTiming();
    auto editor = std::make_unique<Editor>();
    stream.SetPosition(0);
    state.ResumeTiming();
    if (!LoadRTFFromStream(editor->edit.EditData(), stream)) {
      state.SkipWithError("read failed");
      break;
    }
    editor->edit.FormatDocument();
    state.PauseTiming();
    editor.reset();
    state.ResumeTiming();
  }
  state.counters["paragraphs"] = paragraphs;
}
BENCHMARK(BM_ReadRTFIntoEmptyEditor)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);

// Lines of two pieces of the same style, as word processors write runs: each line's
// pieces are joined into one item after the paste.
std::string TwoRunParagraphsRTF(int paragraphs) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20\n";
  for (int i = 0; i < paragraphs; ++i)
    rtf += "{\\b Line " + std::to_string(i) + "}{\\b  of the log}\\par\n";
  return rtf + "}";
}

// Pasted into the middle of a line of a laid-out editor: one undo step, the first and
// last pasted paragraphs joined with the line's head and tail.
void InsertAtCaret(benchmark::State& state, const std::string& rtf, int paragraphs) {
  TMemoryStream stream;
  StreamOf(rtf, stream);
  RegisterRTFInsertion();
  for (auto _ : state) {
    state.PauseTiming();
    auto editor = EditorWithCaretInALine();
    stream.SetPosition(0);
    state.ResumeTiming();
    if (!editor->edit.InsertRTFStreamAtCaret(stream)) {
      state.SkipWithError("insertion failed");
      break;
    }
    state.PauseTiming();
    editor.reset();
    state.ResumeTiming();
  }
  state.counters["paragraphs"] = paragraphs;
}

void BM_InsertRTFAtCaret(benchmark::State& state) {
  const int paragraphs = BenchStations(int(state.range(0)));
  InsertAtCaret(state, ShortParagraphsRTF(paragraphs), paragraphs);
}
BENCHMARK(BM_InsertRTFAtCaret)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);

void BM_InsertTwoRunRTFAtCaret(benchmark::State& state) {
  const int paragraphs = BenchStations(int(state.range(0)));
  InsertAtCaret(state, TwoRunParagraphsRTF(paragraphs), paragraphs);
}
BENCHMARK(BM_InsertTwoRunRTFAtCaret)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);

// Lines of three runs in three styles (bold, italic, plain), which stay three items.
std::string ThreeRunLinesRTF(int lines) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20\n";
  for (int i = 0; i < lines; ++i)
    rtf += "{\\b Line " + std::to_string(i) + "}{\\i  of the log} heard at the station\\par\n";
  return rtf + "}";
}

std::string ThreeRunLinesHtml(int lines) {
  std::string html = "<html><body>";
  for (int i = 0; i < lines; ++i)
    html += "<p><b>Line " + std::to_string(i) + "</b><i> of the log</i> heard at the station</p>";
  return html + "</body></html>";
}

// Lines of three runs pasted into the middle of a line of a laid-out editor, then the
// paste undone and redone; beside QTextEdit pasting the same lines as HTML into the same
// place, undoing and redoing. Each round starts from fresh editors; counters give each
// phase's min/median/max of ours and of Qt's, and the ratio of each phase's best times.
void BM_PasteUndoRedoBesideQt(benchmark::State& state) {
  const int lines = BenchStations(int(state.range(0)));
  TMemoryStream stream;
  StreamOf(ThreeRunLinesRTF(lines), stream);
  const std::string html = ThreeRunLinesHtml(lines);
  const std::string start =
      "<p>Before the paste</p><p>The caret stands in this line</p><p>After the paste</p>";
  RegisterRTFInsertion();
  enum { kPaste, kUndo, kRedo, kPhases };
  std::vector<double> ours[kPhases], qt[kPhases];
  const auto timed = [](std::vector<double>& into, const std::function<void()>& work) {
    const double begin = CpuSeconds();
    work();
    into.push_back(CpuSeconds() - begin);
  };
  for (auto _ : state) {
    state.PauseTiming();
    auto editor = EditorWithCaretInALine();
    stream.SetPosition(0);
    TQtEditPeer peer(640, 480, start, 17 + 9);
    state.ResumeTiming();
    timed(ours[kPaste], [&] { editor->edit.InsertRTFStreamAtCaret(stream); });
    timed(ours[kUndo], [&] { editor->edit.Undo(); });
    if (editor->edit.ItemCount() != 3) state.SkipWithError("the undo left items");
    timed(ours[kRedo], [&] { editor->edit.Redo(); });
    timed(qt[kPaste], [&] { peer.PasteHtml(html); });
    timed(qt[kUndo], [&] { peer.Undo(); });
    timed(qt[kRedo], [&] { peer.Redo(); });
    if (peer.Blocks() < lines) state.SkipWithError("Qt's redo left blocks out");
    state.PauseTiming();
    editor.reset();
    state.ResumeTiming();
  }
  static const char* const kNames[] = {"paste", "undo", "redo"};
  for (int phase = 0; phase < kPhases; ++phase) {
    Figures(state, std::string("ours_") + kNames[phase], ours[phase]);
    Figures(state, std::string("qt_") + kNames[phase], qt[phase]);
    state.counters[std::string(kNames[phase]) + "_ratio"] =
        *std::min_element(ours[phase].begin(), ours[phase].end()) /
        *std::min_element(qt[phase].begin(), qt[phase].end());
  }
  state.counters["lines"] = lines;
}
BENCHMARK(BM_PasteUndoRedoBesideQt)
    ->Arg(8000)
    ->Arg(32000)
    ->Arg(128000)
    ->Iterations(BenchIterations(5))
    ->Unit(benchmark::kMillisecond);

// `lines` paragraphs of `runs` items of different styles, selected from inside the
// first to inside the last, so that both ends are split; the style joins each line.
struct SelectedLines : Editor {
  SelectedLines(int lines, int runs) : lines(lines) {
    static const char* const kRuns[] = {" in", " three", " runs"};
    for (int i = 0; i < lines; ++i) {
      edit.AddTextParagraph("Line " + std::to_string(i), 0, 0);
      for (int k = 1; k < runs; ++k) edit.AddTextContinued(kRuns[k % 3], 1 + k);
    }
    edit.FormatDocument();
  }
  void Select() {
    edit.SetSelectionRange(0, 3, edit.ItemCount() - 1, 3);
    edit.EditData().MoveCaretToSelectionEnd(false);
  }
  // Both ends split, every line one item: two items more than lines.
  void Apply(benchmark::State& state) {
    if (!edit.ApplyTextStyle(1) || edit.ItemCount() != lines + 2)
      state.SkipWithError("the style was not applied");
  }
  int lines;
};

// 8,000 and 32,000 lines, of one run each and of three: the cost must follow the lines.
void LinesOfOneAndOfThreeRuns(benchmark::internal::Benchmark* b) {
  for (const int runs : {1, 3})
    for (const int lines : {8000, 32000}) b->Args({lines, runs});
}

// Arguments: lines, runs a line.
void BM_ApplyTextStyleToSelectedLines(benchmark::State& state) {
  const int lines = BenchStations(int(state.range(0)));
  SelectedLines d(lines, int(state.range(1)));
  for (auto _ : state) {
    state.PauseTiming();
    d.Select();
    state.ResumeTiming();
    d.Apply(state);
    state.PauseTiming();
    d.edit.Undo();
    state.ResumeTiming();
  }
  state.counters["lines"] = lines;
}
BENCHMARK(BM_ApplyTextStyleToSelectedLines)
    ->Apply(LinesOfOneAndOfThreeRuns)
    ->Unit(benchmark::kMillisecond);

void BM_UndoTextStyleOnSelectedLines(benchmark::State& state) {
  const int lines = BenchStations(int(state.range(0)));
  SelectedLines d(lines, int(state.range(1)));
  for (auto _ : state) {
    state.PauseTiming();
    d.Select();
    d.Apply(state);
    state.ResumeTiming();
    d.edit.Undo();
  }
  state.counters["lines"] = lines;
}
BENCHMARK(BM_UndoTextStyleOnSelectedLines)
    ->Apply(LinesOfOneAndOfThreeRuns)
    ->Unit(benchmark::kMillisecond);

void BM_RedoTextStyleOnSelectedLines(benchmark::State& state) {
  const int lines = BenchStations(int(state.range(0)));
  SelectedLines d(lines, int(state.range(1)));
  d.Select();
  d.Apply(state);
  for (auto _ : state) {
    state.PauseTiming();
    d.edit.Undo();
    state.ResumeTiming();
    d.edit.Redo();
  }
  if (d.edit.ItemCount() != lines + 2) state.SkipWithError("the redo differs");
  state.counters["lines"] = lines;
}
BENCHMARK(BM_RedoTextStyleOnSelectedLines)
    ->Args({8000, 3})
    ->Args({32000, 3})
    ->Unit(benchmark::kMillisecond);

// A drawing of 2.3 KB that costs more than a paint may spend at 2112 x 2112 pixels and
// combines with what lies under it: 100 fills of the whole picture in two colours by turns
// (a null pen), then its left half XORed with a third (PatBlt PATINVERT); in hexadecimal.
std::string CostlyDrawingHex() {
  std::string hex;
  const auto words = [&](const std::vector<unsigned>& values) {
    static const char kDigits[] = "0123456789abcdef";
    for (unsigned v : values)
      for (unsigned byte : {v & 0xFF, v >> 8 & 0xFF}) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
      }
  };
  const auto record = [&](unsigned function, const std::vector<unsigned>& values) {
    words({unsigned(3 + values.size()), 0, function});
    words(values);
  };
  words({0xCDD7, 0x9AC6, 0, 0, 0, 2112, 2112, 96, 0, 0, 0});  // placeable header
  words({1, 9, 0x0300, 0, 0, 5, 0, 0, 0});
  record(0x020B, {0, 0});           // window origin
  record(0x020C, {2112, 2112});     // window extent
  record(0x02FA, {5, 0, 0, 0, 0});  // null pen, slot 0
  record(0x012D, {0});
  record(0x02FC, {0, 0x00FF, 0x0000, 0});  // red, slot 1
  record(0x02FC, {0, 0xFF00, 0x0000, 0});  // green, slot 2
  for (unsigned i = 0; i < 100; ++i) {
    record(0x012D, {1 + i % 2});
    record(0x041B, {2112, 2112, 0, 0});
  }
  record(0x02FC, {0, 0x8040, 0x00C0, 0});  // (64, 128, 192), slot 3
  record(0x012D, {3});
  record(0x061D, {0x0049, 0x005A, 2112, 1056, 0, 0});  // PATINVERT: height, width, y, x
  record(0, {});
  return hex;
}

long ResidentBytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6)) * 1024;
  return 0;
}

// An editor window of 1000 x 800 holding 40 such drawings shown at 2112 x 2112 (184 KB of
// RTF), paged through with 40 Page Downs, each paint's drawings kept and shown: the
// resident memory it grew by from its first paint ("growth_mb", the limit 600 MB; the
// drawings kept for good took 1.9 GB), over the last 20 ("last_half_mb", the limit
// 100 MB), and once back at the top with Ctrl+Home ("back_at_top_mb").
void BM_PageDownThroughCostlyDrawings(benchmark::State& state) {
  const std::string hex = CostlyDrawingHex();
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20\n";
  for (int i = 0; i < 40; ++i)
    rtf += "Drawing " + std::to_string(i) +
           "\\par{\\pict\\wmetafile8\\picw55880\\pich55880\\picwgoal31680\\pichgoal31680 " + hex +
           "}\\par\n";
  rtf += "}";
  for (auto _ : state) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 1000, 800);
    TRDStyle style;
    auto* edit = new TRichDocEdit(&form);
    edit->SetParent(&form);
    edit->SetAlign(alClient);
    edit->SetStyle(&style);
    TMemoryStream stream;
    stream.WriteBuffer(rtf.data(), std::int64_t(rtf.size()));
    stream.SetPosition(0);
    if (!LoadRTFFromStream(edit->EditData(), stream)) state.SkipWithError("read failed");
    edit->FormatDocument();
    form.Show();
    const auto settle = [&] {
      edit->Repaint();
      WaitForMetafileRenderings();
      Application->ProcessMessages();
    };
    settle();
    const long start = ResidentBytes();
    long half = start;
    for (int page = 1; page <= 40; ++page) {
      SimulateKey(*edit, VK_NEXT);
      settle();
      if (page == 20) half = ResidentBytes();
    }
    const long end = ResidentBytes();
    SimulateKey(*edit, VK_HOME, {}, ssCtrl);
    settle();
    state.counters["growth_mb"] = double(end - start) / (1 << 20);
    state.counters["last_half_mb"] = double(end - half) / (1 << 20);
    state.counters["back_at_top_mb"] = double(ResidentBytes() - start) / (1 << 20);
    state.counters["rtf_kb"] = double(rtf.size()) / 1024;
  }
}
BENCHMARK(BM_PageDownThroughCostlyDrawings)->Iterations(1)->Unit(benchmark::kMillisecond);

// An RDF of count 4 x 4 pictures, each asking to be 2,147,483,647 pixels a side (176
// bytes a picture): from some 16,400 of them on, the lines stand at the height bound.
std::string PicturesPastTheBoundRDF(int count) {
  TRDStyle style;
  TCustomRDData data;
  data.SetRDStyle(&style);
  data.SetRDFOptions(rdfoSavePicturesBody | rdfoSaveBinary);
  for (int i = 0; i < count; ++i) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(4, 4);
    bitmap->Canvas().Brush().SetColor(clRed);
    bitmap->Canvas().FillRect(Rect(0, 0, 4, 4));
    auto picture = TRDGraphicItemInfo::CreateWithGraphic(&data, std::move(bitmap), rdvaBaseline);
    ReadRDFExtraProperty(*picture, "width=2147483647");
    ReadRDFExtraProperty(*picture, "height=2147483647");
    data.AddItemAtEnd("", std::move(picture));
  }
  TMemoryStream stream;
  SaveRDFToStream(data, stream, false);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

double ProcessSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// That RDF read into an editor of 800 x 600, laid out, scrolled to its end and painted, in
// CPU seconds of the whole process (Qt scales pictures on threads of its own), five
// times: 20,000 and 70,000 pictures should cost at most 3 and 10.5 times what 10,000 do
// (the pictures at the bound were painted all at once: 20,000 took 46 times as long).
void BM_PicturesPastTheHeightBound(benchmark::State& state) {
  const int count = BenchStations(int(state.range(0)));
  const std::string rdf = PicturesPastTheBoundRDF(count);
  std::vector<double> seconds;
  for (auto _ : state) {
    for (int run = 0; run < BenchIterations(5); ++run) {
      Editor editor;
      editor.edit.SetBounds(0, 0, 800, 600);
      TMemoryStream stream;
      StreamOf(rdf, stream);
      TBitmap target;
      target.SetSize(800, 600);
      const double start = ProcessSeconds();
      if (!editor.edit.LoadRDFFromStream(stream)) state.SkipWithError("read failed");
      editor.edit.FormatDocument();
      editor.edit.SetVScrollPos(editor.edit.GetVScrollMax());
      PaintTo(editor.edit, target.Canvas(), 0, 0);
      seconds.push_back(ProcessSeconds() - start);
      state.counters["height"] = editor.edit.RDData().DocumentHeight;
    }
  }
  Figures(state, "cpu", seconds);
  state.counters["pictures"] = count;
}
BENCHMARK(BM_PicturesPastTheHeightBound)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(70000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

// Live heap bytes, for the undo list's share.
void* operator new(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  live_bytes += static_cast<long long>(malloc_usable_size(p));
  return p;
}

// The standard library asks for some buffers without exceptions; they are freed by the
// delete below, so they must come from the same heap.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void operator delete(void* p) noexcept {
  if (!p) return;
  live_bytes -= static_cast<long long>(malloc_usable_size(p));
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
  operator delete(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
  operator delete(p);
}
