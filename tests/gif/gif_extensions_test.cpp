// Extension blocks: what is read, what is kept and what is written back.
#include <gtest/gtest.h>

#include "gif/gif_picture.h"
#include "gif_test_support.h"

namespace {

std::string Screen() {
  return "GIF89a" + Bytes({1, 0, 1, 0, 0x80, 0, 0,  // 2-colour global table
                           0, 0, 0, 255, 255, 255});
}
const std::string kFrame =
    Bytes({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x00, 0x02, 0x02, 0x4C, 0x01, 0x00});

// Loads one frame preceded by Extensions and returns the picture.
std::unique_ptr<TGIFPicture> LoadWith(const std::string& Extensions, TWarningLog** Log = nullptr) {
  auto picture = std::make_unique<TGIFPicture>();
  static std::unique_ptr<TWarningLog> log;
  log = std::make_unique<TWarningLog>(*picture);
  if (Log) *Log = log.get();
  LoadBytes(*picture, Screen() + Extensions + kFrame + Bytes({0x3B}));
  return picture;
}

// The bytes written for the first frame's extensions.
std::string ExtensionBytes(TGIFPicture& Picture) {
  const std::string file = SaveBytes(Picture);
  const std::size_t start = Screen().size();
  return file.substr(start, file.size() - start - kFrame.size() - 1);
}

TEST(GifExtensions, UnknownApplicationDataIsKeptByteForByte) {
  const std::string block = Bytes({0x21, 0xFF, 0x0B}) + "VELMORA1.0" + "x" +
                            Bytes({0x03, 'a', 'b', 'c', 0x01, 0x00, 0x00});
  auto picture = LoadWith(block);
  TGIFSubImage& frame = picture->Images[0];
  ASSERT_EQ(frame.Extensions.Count(), 1);
  auto* unknown = dynamic_cast<TGIFUnknownAppExtension*>(&frame.Extensions[0]);
  ASSERT_NE(unknown, nullptr);
  EXPECT_EQ(unknown->Blocks.size(), 2u);
  EXPECT_EQ(ExtensionBytes(*picture), block);
}

TEST(GifExtensions, LoopingBlocks) {
  struct TCase {
    const char* Name;
    std::string Block;
    int Loops;
    std::uint32_t BufferSize;
    std::string Written;
  };
  const std::string head = Bytes({0x21, 0xFF, 0x0B}) + "NETSCAPE2.0";
  const TCase cases[] = {
      {"loops 0", head + Bytes({0x03, 0x01, 0x00, 0x00, 0x00}), 0, 0,
       head + Bytes({0x03, 0x01, 0x00, 0x00, 0x00})},
      {"loops and buffer",
       head + Bytes({0x03, 0x01, 0x05, 0x00, 0x05, 0x02, 0x10, 0x00, 0x00, 0x00, 0x00}), 5, 16,
       head + Bytes({0x03, 0x01, 0x05, 0x00, 0x05, 0x02, 0x10, 0x00, 0x00, 0x00, 0x00})},
      {"unknown sub-block skipped", head + Bytes({0x02, 0x07, 0x09, 0x03, 0x01, 0x02, 0x00, 0x00}),
       2, 0, head + Bytes({0x03, 0x01, 0x02, 0x00, 0x00})},
      {"ANIMEXTS",
       Bytes({0x21, 0xFF, 0x0B}) + "ANIMEXTS1.0" + Bytes({0x03, 0x01, 0x04, 0x00, 0x00}), 4, 0,
       Bytes({0x21, 0xFF, 0x0B}) + "ANIMEXTS1.0" + Bytes({0x03, 0x01, 0x04, 0x00, 0x00})},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto picture = LoadWith(c.Block);
    auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(&picture->Images[0].Extensions[0]);
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->Loops, c.Loops);
    EXPECT_EQ(loop->BufferSize, c.BufferSize);
    EXPECT_EQ(ExtensionBytes(*picture), c.Written);
  }
}

TEST(GifExtensions, ApplicationBlockSizes) {
  // Size 10: the identifier is read as 11 bytes and the stream steps back one.
  auto ten = LoadWith(Bytes({0x21, 0xFF, 0x0A}) + "ABCDEFGHIJ" + Bytes({0x01, 0x41, 0x00}));
  auto* unknown = dynamic_cast<TGIFUnknownAppExtension*>(&ten->Images[0].Extensions[0]);
  ASSERT_NE(unknown, nullptr);
  ASSERT_EQ(unknown->Blocks.size(), 1u);
  EXPECT_EQ(unknown->Blocks[0], std::vector<std::uint8_t>{0x41});
  // Size 12: one byte beyond the identifier is skipped.
  auto twelve = LoadWith(Bytes({0x21, 0xFF, 0x0C}) + "ABCDEFGHIJKL" + Bytes({0x00}));
  EXPECT_EQ(twelve->Images[0].Extensions.Count(), 1);
  EXPECT_EQ(twelve->Images.Count(), 1);
  // Below 10: refused.
  TGIFPicture picture;
  try {
    LoadBytes(picture, Screen() + Bytes({0x21, 0xFF, 0x05}) + "ABCDE" + Bytes({0x00}) + kFrame);
    FAIL();
  } catch (const GIFException& error) {
    EXPECT_STREQ(error.what(), "Unsupported Application Extension block size");
  }
}

TEST(GifExtensions, CommentsAndTextKeepTheirLines) {
  auto picture = LoadWith(Bytes({0x21, 0xFE, 0x03, 'o', 'n', 'e', 0x03, 't', 'w', 'o', 0x00}));
  auto* comment = dynamic_cast<TGIFCommentExtension*>(&picture->Images[0].Extensions[0]);
  ASSERT_NE(comment, nullptr);
  ASSERT_EQ(comment->Text.Count(), 2);
  EXPECT_EQ(comment->Text[0], "one");
  EXPECT_EQ(comment->Text[1], "two");
  comment->Text.Clear();
  comment->Text.Add(std::string(300, 'c'));
  const std::string written = ExtensionBytes(*picture);
  EXPECT_EQ(written, Bytes({0x21, 0xFE, 0xFF}) + std::string(255, 'c') + Bytes({45}) +
                         std::string(45, 'c') + Bytes({0}));
  TGIFPicture reread;
  LoadBytes(reread, SaveBytes(*picture));
  auto* back = dynamic_cast<TGIFCommentExtension*>(&reread.Images[0].Extensions[0]);
  ASSERT_EQ(back->Text.Count(), 2);
  EXPECT_EQ(back->Text[1].size(), 45u);

  const std::string text =
      Bytes({0x21, 0x01, 0x0C, 1, 0, 2, 0, 30, 0, 8, 0, 6, 8, 1, 0, 0x02, 'h', 'i', 0x00});
  auto with_text = LoadWith(text);
  auto* plain = dynamic_cast<TGIFTextExtension*>(&with_text->Images[0].Extensions[0]);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->GridWidth, 30);
  EXPECT_EQ(plain->CellHeight, 8);
  EXPECT_EQ(plain->Text[0], "hi");
  EXPECT_EQ(ExtensionBytes(*with_text), text);
}

TEST(GifExtensions, GraphicControl) {
  // Block size 5 still reads the 6 bytes of the block.
  auto picture = LoadWith(Bytes({0x21, 0xF9, 0x05, 0x09, 0x0A, 0x00, 0x01, 0x00}));
  TGIFSubImage& frame = picture->Images[0];
  ASSERT_NE(frame.GraphicControlExtension, nullptr);
  EXPECT_EQ(frame.GraphicControlExtension->Disposal(), DisposeBackground);
  EXPECT_EQ(frame.GraphicControlExtension->Delay, 10);
  EXPECT_TRUE(frame.Transparent);
  EXPECT_EQ(ExtensionBytes(*picture), Bytes({0x21, 0xF9, 0x05, 0x09, 0x0A, 0x00, 0x01, 0x00}));

  // Of two graphic control blocks the first one counts.
  auto two = LoadWith(Bytes({0x21, 0xF9, 0x04, 0x00, 0x05, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, 0x00,
                             0x07, 0x00, 0x00, 0x00}));
  EXPECT_EQ(two->Images[0].Extensions.Count(), 2);
  EXPECT_EQ(two->Images[0].GraphicControlExtension->Delay, 5);

  // Deleting the block ends the frame's transparency.
  frame.Extensions.Delete(0);
  EXPECT_EQ(frame.GraphicControlExtension, nullptr);
  EXPECT_FALSE(frame.Transparent);
}

TEST(GifExtensions, TransparentIndexOutsideTheTableWarnsAndUsesZero) {
  auto picture = LoadWith("");
  TGIFSubImage& frame = picture->Images[0];
  auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
  TWarningLog warnings(*picture);
  gce->SetTransparentColorIndex(5);
  EXPECT_EQ(gce->TransparentColorIndex, 0);
  EXPECT_EQ(warnings.Messages, std::vector<std::string>{"Invalid color index"});
  gce->SetTransparentColorIndex(1);
  EXPECT_EQ(gce->TransparentColorIndex, 1);
}

TEST(GifExtensions, BadBlocks) {
  const std::pair<const char*, std::string> errors[] = {
      {"Unknown extension type", Bytes({0x21, 0x77, 0x00})},
      {"Invalid GIF data",
       Bytes({0x21, 0xFF, 0x0B}) + "NETSCAPE2.0" + Bytes({0x02, 0x01, 0x05, 0x00})},
      {"Premature end of data", Bytes({0x21, 0xFE, 0x05, 'a'})},
  };
  for (const auto& [message, block] : errors) {
    TGIFPicture picture;
    try {
      LoadBytes(picture, Screen() + block);
      ADD_FAILURE() << message;
    } catch (const GIFException& error) {
      EXPECT_STREQ(error.what(), message);
    }
  }
  // A stray byte after an extension ends the frame's extensions with a warning.
  TWarningLog* log = nullptr;
  auto picture = LoadWith(Bytes({0x21, 0xFE, 0x01, 'a', 0x00, 0x55}), &log);
  EXPECT_EQ(log->Messages.front(), "Invalid extension introducer");
  EXPECT_TRUE(picture->Images[0].Empty());
  // A short graphic control block at the end warns.
  TGIFPicture cut;
  TWarningLog warnings(cut);
  LoadBytes(cut, Screen() + Bytes({0x21, 0xF9, 0x04, 0x00}));
  EXPECT_EQ(warnings.Messages, std::vector<std::string>{"Premature end of data"});
}

}  // namespace
