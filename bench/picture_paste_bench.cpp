// Photos pasted into an editor window and shown, as a user pastes them.
//
// Eight JPEG pictures whose scans walk just under the bound of 48 Mi blocks (a flat
// 4096 x 4096 picture in libjpeg's progressive script, its last scan, a refinement of the
// brightness's AC coefficients, given again up to the bound), pasted at
// the caret as RTF: decoded on the window's thread, each took about 2 s and the paste
// froze the window for 16 s. Timed: the paste with the window's repaint, then every repaint
// while the window goes down its pages, a quarter of a second on each (each picture shown
// there is decoded beside the window, which paints it when it is ready), and how long until
// every picture shown was decoded; "paste_thread_ms" and "answer_thread_ms" are the
// processor time of the window's thread in them. Beside it, the control: one such picture decoded
// whole on the calling thread, as the paste did each picture.
//
// Then a document of twelve photos of 4000 x 3000 pixels placed at 400 x 300 (the
// document's budget held two of them, the rest were empty frames): read and painted off
// the screen, and the memory it then holds ("held_mb", from the allocator). Last, what a
// photo's decoding is priced at against what it takes, sequential and progressive.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/sys/application.h"
#include "platform/test_support/jpeg_scans.h"
#include "platform/text/streams.h"
#include "richtext/model/picture_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"
#include "richtext_edit/edit/rich_doc_edit.h"
#include "richtext_edit/rtf/rtf_import.h"
#include "richtext_edit/rtf/rtf_insert.h"

namespace {

double Seconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// What the allocator has handed out, large blocks (mapped apart) included.
double AllocatedBytes() {
  const struct mallinfo2 info = mallinfo2();
  return double(info.uordblks) + double(info.hblkhd);
}

std::vector<std::uint8_t> JpegOf(const TBitmap& bitmap) {
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  TMemoryStream bytes;
  jpeg.SaveToStream(bytes);
  const auto* data = static_cast<const std::uint8_t*>(bytes.Memory());
  return std::vector<std::uint8_t>(data, data + bytes.Size());
}

TBitmap& Flat(int width, int height, TColor color) {
  static TBitmap bitmap;
  bitmap.SetSize(width, height);
  bitmap.Canvas().Brush().SetColor(color);
  bitmap.Canvas().FillRect(Rect(0, 0, width, height));
  return bitmap;
}

// The costly picture: progressive, its costliest scan given again up to the bound.
const std::vector<std::uint8_t>& CostlyJpeg() {
  static const std::vector<std::uint8_t> costly = [] {
    const int side = BenchStations(4096);
    const std::vector<std::uint8_t> scans =
        JpegInScans(JpegOf(Flat(side, side, TColor(0x40A060))), 0);
    const std::int64_t walked = JpegCost(scans)->ScanBlocks;
    const std::int64_t last = JpegCost(JpegWithLastScanRepeated(scans, 1))->ScanBlocks - walked;
    return JpegWithLastScanRepeated(scans, int((kMaxJpegScanBlocks - walked) / last));
  }();
  return costly;
}

std::string PicturesRTF(const std::vector<std::uint8_t>& jpeg, int count, const char* placing) {
  const std::string hex = StringToHex(std::string(jpeg.begin(), jpeg.end()));
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < count; ++i)
    rtf += "{\\pict\\jpegblip" + std::string(placing) + " " + hex + "}";
  return rtf + "}";
}

struct Window {
  Window() : form(nullptr), edit(&form) {
    form.SetBounds(0, 0, 820, 640);
    edit.SetParent(&form);
    edit.SetStyle(&style);
    edit.SetBounds(0, 0, 800, 600);
    edit.AddTextParagraph("The pictures come here: ", 0, 0);
    edit.FormatDocument();
    form.Show();
    Application->ProcessMessages();
  }
  TRDStyle style;
  TForm form;
  TRichDocEdit edit;
};

void BM_PasteEightCostlyJpegsIntoAWindow(benchmark::State& state) {
  RegisterRTFInsertion();
  const std::string rtf = PicturesRTF(CostlyJpeg(), 8, "");
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), std::int64_t(rtf.size()));
  std::vector<double> paste, pasteThread, answer, answerThread, settled;
  for (auto _ : state) {
    state.PauseTiming();
    auto window = std::make_unique<Window>();
    window->edit.EditData().PlaceCaretAtItem(0, 24, false);
    stream.SetPosition(0);
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    const double startThread = Seconds(CLOCK_THREAD_CPUTIME_ID);
    if (!window->edit.InsertRTFStreamAtCaret(stream)) {
      state.SkipWithError("insertion failed");
      break;
    }
    window->form.Repaint();
    paste.push_back(SecondsSince(start));
    pasteThread.push_back(Seconds(CLOCK_THREAD_CPUTIME_ID) - startThread);
    // Down the pages, a quarter of a second on each: each repaint shows the pictures
    // decoded so far and asks for those shown now.
    const int pages = 24;
    const int step = std::max(1, window->edit.GetVScrollMax() / (pages - 1));
    for (int page = 0; page < pages; ++page) {
      window->edit.SetVScrollPos(page * step);
      const auto shown = std::chrono::steady_clock::now();
      do {
        Application->ProcessMessages();
        const auto repaint = std::chrono::steady_clock::now();
        const double repaintThread = Seconds(CLOCK_THREAD_CPUTIME_ID);
        window->edit.Repaint();
        answer.push_back(SecondsSince(repaint));
        answerThread.push_back(Seconds(CLOCK_THREAD_CPUTIME_ID) - repaintThread);
      } while (SecondsSince(shown) < 0.25);
    }
    WaitForJpegDecodings();
    settled.push_back(SecondsSince(start));
    Application->ProcessMessages();
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
  Figures(state, "paste", paste);
  Figures(state, "paste_thread", pasteThread);
  Figures(state, "answer", answer);
  Figures(state, "answer_thread", answerThread);
  Figures(state, "settled", settled);
  state.counters["jpeg_bytes"] = double(CostlyJpeg().size());
  state.counters["scan_blocks"] = double(JpegCost(CostlyJpeg())->ScanBlocks);
}
BENCHMARK(BM_PasteEightCostlyJpegsIntoAWindow)
    ->Iterations(BenchIterations(5))
    ->Unit(benchmark::kMillisecond);

// The control: one such picture decoded whole where it is loaded, as the paste did.
void BM_DecodeOneCostlyJpegWhole(benchmark::State& state) {
  std::vector<double> seconds;
  for (auto _ : state) {
    TMemoryStream stream;
    stream.WriteBuffer(CostlyJpeg().data(), std::int64_t(CostlyJpeg().size()));
    stream.SetPosition(0);
    TJPEGImage jpeg;
    const double start = Seconds(CLOCK_THREAD_CPUTIME_ID);
    jpeg.LoadFromStream(stream);
    seconds.push_back(Seconds(CLOCK_THREAD_CPUTIME_ID) - start);
  }
  Figures(state, "decode_thread", seconds);
}
BENCHMARK(BM_DecodeOneCostlyJpegWhole)
    ->Iterations(BenchIterations(5))
    ->Unit(benchmark::kMillisecond);

// Twelve photos placed at a tenth of their sides, read and each painted at that size.
void BM_ReadAndPaintTwelvePhotos(benchmark::State& state) {
  const std::string rtf =
      PicturesRTF(JpegOf(Flat(BenchStations(4000), BenchStations(3000), clTeal)), 12,
                  "\\picscalex10\\picscaley10");
  std::vector<double> seconds;
  double heldBytes = 0;
  int shown = 0;
  for (auto _ : state) {
    const double before = AllocatedBytes();
    const auto start = std::chrono::steady_clock::now();
    TRDStyle style;
    TCustomRDData document;
    document.SetRDStyle(&style);
    TMemoryStream stream;
    stream.WriteBuffer(rtf.data(), std::int64_t(rtf.size()));
    stream.SetPosition(0);
    TRDRTFReaderProperties options;
    int index = 0;
    ReadRTF(options, stream, document, index);
    TBitmap page;
    page.SetSize(400, 300);
    shown = 0;
    for (int i = 0; i < document.GetItemCount(); ++i) {
      const auto& picture = dynamic_cast<const TRDGraphicItemInfo&>(*document.GetItem(i));
      page.Canvas().StretchDraw(Rect(0, 0, 400, 300), *picture.Image);
      shown += page.Canvas().Pixels(200, 150) != clBlack;
    }
    seconds.push_back(SecondsSince(start));
    heldBytes = AllocatedBytes() - before;
  }
  Figures(state, "read_and_paint", seconds);
  state.counters["held_mb"] = heldBytes / (1024 * 1024);
  state.counters["photos_shown"] = shown;
}
BENCHMARK(BM_ReadAndPaintTwelvePhotos)
    ->Iterations(BenchIterations(5))
    ->Unit(benchmark::kMillisecond);

// A photo as a camera gives it, made here: light changing across it, edges, and grain in
// every block (the coefficients that make a photo's scans costly); or the same without
// the grain, as a drawing or a screenshot is.
TBitmap& Photo(int width, int height, bool grain) {
  static TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, height);
  std::uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      noise = noise * 1664525 + 1013904223;
      const int speck = grain ? int(noise >> 27) - 16 : 0;
      const int shade = (x * 160 / width + y * 80 / height + ((x / 97 + y / 61) % 3) * 30);
      for (int c = 0; c < 3; ++c)
        row[3 * x + c] = std::uint8_t(std::clamp(shade * (c + 2) / 4 + speck, 0, 255));
    }
  }
  return bitmap;
}

// What a photo shown on a window is priced at (JpegDecodeNs: decoded inside the paint up to
// its budget, on a thread beyond it) against what decoding it as shown takes, 2400 x 1800
// at 90 % quality as written sequentially and as libjpeg's progressive script writes it
// (one progressive photo was priced at 24 ms and decoded inside the paint at 73-217 ms).
// Last the costly picture above (a scan of few bytes walked thousands of times).
// "cost_per_price" is the median decoding over the price: it should stay within 0.5-2.
// Arguments: grain (1), none (0) or the costly picture (2), progressive (1) or sequential
// (0), and the denominator of the size shown.
void BM_JpegPriceAgainstDecode(benchmark::State& state) {
  const bool progressive = state.range(1) != 0;
  const int denominator = int(state.range(2));
  std::vector<std::uint8_t> bytes;
  if (state.range(0) == 2) {
    if (!progressive) state.SkipWithError("the costly picture is progressive");
    bytes = CostlyJpeg();
  } else {
    bytes = JpegOf(Photo(BenchStations(2400), BenchStations(1800), state.range(0) != 0));
    if (progressive) bytes = JpegInScans(bytes, 0);
  }
  const TJpegCost cost = *JpegCost(bytes);
  const double priced = JpegDecodeNs(cost, denominator) * 1e-9;
  std::vector<double> seconds;
  for (auto _ : state) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
    stream.SetPosition(0);
    TJPEGImage jpeg;
    jpeg.SetDecoding(TJpegDecoding::AsShown);
    jpeg.LoadFromStream(stream);
    TBitmap shown;
    shown.SetSize((cost.Size.cx + denominator - 1) / denominator,
                  (cost.Size.cy + denominator - 1) / denominator);
    const double start = Seconds(CLOCK_THREAD_CPUTIME_ID);
    shown.Canvas().StretchDraw(Rect(0, 0, shown.Width(), shown.Height()), jpeg);
    seconds.push_back(Seconds(CLOCK_THREAD_CPUTIME_ID) - start);
  }
  Figures(state, "decode", seconds);
  std::sort(seconds.begin(), seconds.end());
  state.counters["priced_ms"] = priced * 1e3;
  state.counters["cost_per_price"] = seconds[seconds.size() / 2] / priced;
  state.counters["scan_blocks"] = double(cost.ScanBlocks);
  state.counters["file_kb"] = double(bytes.size()) / 1024;
}
BENCHMARK(BM_JpegPriceAgainstDecode)
    ->ArgNames({"grain", "progressive", "denominator"})
    ->ArgsProduct({{1, 0}, {0, 1}, {1, 4}})
    ->Args({2, 1, 1})
    ->Args({2, 1, 8})
    ->Iterations(BenchIterations(5))
    ->Unit(benchmark::kMillisecond);

}  // namespace
