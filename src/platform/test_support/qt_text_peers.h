// Qt's own text engine doing what the rich-text viewer does, for benchmarks that time the
// two side by side: a QTextDocument of the same paragraphs painted a screenful at a time,
// and a QTextLayout of one line.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/graphics_objects.h"
#include "platform/gui/graphics/wide_text.h"

struct TPeerTextRun {
  std::u16string Text;
  TFont Font;  // with its colour
};

struct TPeerParagraph {
  std::vector<TPeerTextRun> Runs;
  TColor Background = clNone;
};

class TQtDocumentPeer {
 public:
  // The paragraphs laid out Width pixels wide, Margin pixels from every edge, in the fonts
  // the program's canvas makes of theirs.
  TQtDocumentPeer(const std::vector<TPeerParagraph>& Paragraphs, int Width, int Margin);
  ~TQtDocumentPeer();
  TQtDocumentPeer(const TQtDocumentPeer&) = delete;
  TQtDocumentPeer& operator=(const TQtDocumentPeer&) = delete;

  int Height() const;
  // The part of the document from Top down painted over the whole of Target, on white, as
  // a viewer paints its window.
  void PaintScreenful(TBitmap& Target, int Top);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Qt's own rich-text editor (QTextEdit) of Width x Height holding Html with its cursor at
// character Cursor, for the paste and its undo: HTML pasted at the cursor, as QTextEdit
// pastes HTML, then taken back and done again.
class TQtEditPeer {
 public:
  TQtEditPeer(int Width, int Height, const std::string& Html, int Cursor);
  ~TQtEditPeer();
  TQtEditPeer(const TQtEditPeer&) = delete;
  TQtEditPeer& operator=(const TQtEditPeer&) = delete;

  void PasteHtml(const std::string& Html);
  void Undo();
  void Redo();
  // Blocks (paragraphs) the document holds, laid out.
  int Blocks() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Text laid out by QTextLayout in the font the program's canvas makes of Font, on lines of
// the given direction: one line, or with WrapWidth as many as it takes, each that wide.
// How many lines, and the width of the widest.
struct TQtLaidOutText {
  int Lines = 0;
  int Width = 0;
};
TQtLaidOutText QtLayOutText(const TFont& Font, std::u16string_view Text, TTextDirection Direction,
                            int WrapWidth = 0);
