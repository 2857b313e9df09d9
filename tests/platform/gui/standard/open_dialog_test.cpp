// The file chooser's kinds: a description that names its patterns itself is shown once,
// not followed by the same patterns a second time; and where the chooser stands.
#include "platform/gui/standard/open_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <string>

#include "platform/test_support/gui_test_support.h"

namespace {

struct TSeen {
  bool hidden = false;
  bool on_top = false;
  QStringList filters;
};

// Opens the chooser with Filter and reads how it offers the kinds, then cancels it.
TSeen OfferedKinds(const std::string& Filter) {
  TSeen seen;
  TOpenDialog dialog(nullptr);
  dialog.Filter = Filter;
  QTimer::singleShot(0, [&seen] {
    auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!chooser) return;
    seen.hidden = chooser->testOption(QFileDialog::HideNameFilterDetails);
    seen.filters = chooser->nameFilters();
    seen.on_top = chooser->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    chooser->reject();
  });
  EXPECT_FALSE(dialog.Execute());
  return seen;
}

TEST(OpenDialog, PatternsNamedInTheDescriptionAreNotShownTwice) {
  const TSeen pictures = OfferedKinds("Bitmaps (*.bmp)|*.bmp|GIF (*.gif)|*.gif");
  EXPECT_TRUE(pictures.hidden);
  // The patterns still filter.
  EXPECT_EQ(pictures.filters, QStringList({"Bitmaps (*.bmp) (*.bmp)", "GIF (*.gif) (*.gif)"}));

  const TSeen text = OfferedKinds("Text [*.txt]|*.txt");
  EXPECT_TRUE(text.hidden);

  // A bare description needs its patterns shown, as does one of several.
  EXPECT_FALSE(OfferedKinds("Text|*.txt").hidden);
  EXPECT_FALSE(OfferedKinds("Bitmaps (*.bmp)|*.bmp|Text|*.txt").hidden);
  EXPECT_FALSE(OfferedKinds("").hidden);
}

// The station windows stay on top of the frame; a chooser opened from the frame would
// show behind them, out of reach.
TEST(OpenDialog, OpensAboveStayOnTopWindows) {
  EXPECT_TRUE(OfferedKinds("Text|*.txt").on_top);
}

}  // namespace
