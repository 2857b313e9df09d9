// What the application has to say during an RTF import: the progress of a long read,
// pictures a field names, each picture about to go in, the links, control words of its
// own and the paragraph styles the import may use.
#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/model/picture_item.h"
#include "rtf_import_document.h"

namespace {

// A 4 x 2 device-independent bitmap in a \shppict group whose \nonshppict twin is a
// picture kind without a graphic.
const char* const kPictureChoice =
    "{\\*\\shppict{\\pict\\dibitmap0\\picw4\\pich2 "
    "280000000400000002000000010018000000000018000000130b0000130b0000"
    "000000000000000000c8ff3cc8c378c887b4c84b0000ff3c00c3780087b4004b}}"
    "{\\nonshppict{\\pict\\macpict 00}}";

std::unique_ptr<TGraphic> Bitmap(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(width, height);
  return bitmap;
}

std::vector<TRDGraphicItemInfo*> Pictures(TRTFImportDocument& doc) {
  std::vector<TRDGraphicItemInfo*> pictures;
  for (int i = 0; i < doc.Count(); ++i)
    if (auto* picture = dynamic_cast<TRDGraphicItemInfo*>(&doc.Item(i)))
      pictures.push_back(picture);
  return pictures;
}

TEST(RTFImportHooks, ProgressOfALongReadReachesTheDocument) {
  std::string rtf = "{\\rtf1 ";
  while (rtf.size() < 50000) rtf += "A station report line of the long file.\\par\n";
  rtf += "}";
  TRTFImportDocument doc;
  std::vector<std::pair<TRDProgressStage, int>> seen;
  doc.Document.OnProgress = [&seen](TRDProgressStage stage, std::uint8_t percent) {
    seen.emplace_back(stage, percent);
  };
  ASSERT_EQ(doc.Import(rtf), rtf_ec_OK);
  ASSERT_GE(seen.size(), 4u);
  EXPECT_EQ(seen.front(), std::make_pair(rdprStarting, 0));
  EXPECT_EQ(seen.back(), std::make_pair(rdprEnding, 0));
  int last = 0;
  for (size_t i = 1; i + 1 < seen.size(); ++i) {
    EXPECT_EQ(seen[i].first, rdprRunning);
    EXPECT_GE(seen[i].second, last);
    EXPECT_LE(seen[i].second, 100);
    last = seen[i].second;
  }
  // A short read reports nothing.
  seen.clear();
  ASSERT_EQ(doc.Import("{\\rtf1 short}"), rtf_ec_OK);
  EXPECT_TRUE(seen.empty());
}

TEST(RTFImportHooks, TheDocumentGivesThePictureAFieldNames) {
  TRTFImportDocument doc;
  doc.Options.BasePath = "/pictures/";
  std::vector<std::string> asked;
  doc.Document.OnImportPicture = [&asked](const std::string& location) {
    asked.push_back(location);
    return Bitmap(5, 7);
  };
  const std::string field =
      "{\\rtf1{\\field{\\*\\fldinst INCLUDEPICTURE \"map.png\"}{\\fldrslt old}}}";
  ASSERT_EQ(doc.Import(field), rtf_ec_OK);
  EXPECT_EQ(asked, std::vector<std::string>{"/pictures/map.png"});
  const std::vector<TRDGraphicItemInfo*> pictures = Pictures(doc);
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0]->Image->Width(), 5);

  // Without pictures nothing is asked.
  TRTFImportDocument none;
  none.Options.IgnorePictures = true;
  none.Document.OnImportPicture = doc.Document.OnImportPicture;
  ASSERT_EQ(none.Import(field), rtf_ec_OK);
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_TRUE(Pictures(none).empty());
}

TEST(RTFImportHooks, TheDocumentDecidesOnEachPicture) {
  // Refused: the \nonshppict twin is offered next, without a graphic, and refused too.
  TRTFImportDocument refused;
  std::vector<bool> offered;
  refused.Document.OnImportedPictureInserting = [&offered](TCustomRDData*,
                                                           std::unique_ptr<TGraphic>& graphic,
                                                           const std::string&, bool& insert) {
    offered.push_back(graphic != nullptr);
    insert = false;
  };
  ASSERT_EQ(refused.Import(std::string("{\\rtf1 a") + kPictureChoice + "b}"), rtf_ec_OK);
  EXPECT_EQ(offered, (std::vector<bool>{true, false}));
  EXPECT_TRUE(Pictures(refused).empty());
  EXPECT_EQ(refused.Text(), "ab");

  // Another graphic in its place; the twin is then not read.
  TRTFImportDocument replaced;
  int asked = 0;
  replaced.Document.OnImportedPictureInserting =
      [&asked](TCustomRDData*, std::unique_ptr<TGraphic>& graphic, const std::string&, bool&) {
        ++asked;
        graphic = Bitmap(9, 3);
      };
  ASSERT_EQ(replaced.Import(std::string("{\\rtf1 ") + kPictureChoice + "}"), rtf_ec_OK);
  EXPECT_EQ(asked, 1);
  ASSERT_EQ(Pictures(replaced).size(), 1u);
  EXPECT_EQ(Pictures(replaced)[0]->Image->Width(), 9);

  // Taken by the application, in a table cell: the cell's document is named.
  TRTFImportDocument taken;
  std::unique_ptr<TGraphic> kept;
  TCustomRDData* where = nullptr;
  taken.Document.OnImportedPictureInserting = [&](TCustomRDData* rdData,
                                                  std::unique_ptr<TGraphic>& graphic,
                                                  const std::string&, bool& insert) {
    insert = false;
    if (!graphic) return;  // the twin without a graphic
    where = rdData;
    kept = std::move(graphic);
  };
  ASSERT_EQ(taken.Import(std::string("{\\rtf1\\trowd\\cellx2000\\pard\\intbl x") + kPictureChoice +
                         "\\cell\\row}"),
            rtf_ec_OK);
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->Width(), 4);
  EXPECT_NE(where, &taken.Document);
  EXPECT_TRUE(Pictures(taken).empty());
  EXPECT_EQ(Grid(*taken.Table()), "x");
}

TEST(RTFImportHooks, TheDocumentMakesTheLinks) {
  TRTFImportDocument doc;
  doc.Document.SetOptions(rdoTagsArePChars);
  TFontInfo& special = doc.Sheet.TextStyles().Add();
  special.Jump = true;
  special.Color = 0x0000FF;
  const int specialNo = doc.Sheet.TextStyles().Count() - 1;
  std::vector<std::string> seen;
  int textStyle = specialNo;
  doc.Document.OnReadHyperlink = [&](const std::string& target, const std::string& extras,
                                     TRDLoadFormat format, int& styleNo, TRDTag& tag,
                                     std::string&) {
    EXPECT_EQ(format, rdlfRTF);
    seen.push_back(target + "|" + extras + "|" + (tag.Text ? *tag.Text : "<none>"));
    styleNo = styleNo == rdsHotPicture ? rdsPicture : textStyle;
    tag.Text = "go:" + target;
  };
  const std::string link =
      "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://a.org/\" \\\\o \"Tip\"}"
      "{\\fldrslt text{\\pict\\macpict 00}}}}";
  ASSERT_EQ(doc.Import(link), rtf_ec_OK);
  EXPECT_EQ(seen, (std::vector<std::string>{"http://a.org/|Tip|http://a.org/",
                                            "http://a.org/|Tip|http://a.org/"}));
  ASSERT_EQ(doc.Count(), 2);
  EXPECT_EQ(doc.Item(0).StyleNo, specialNo);
  ASSERT_TRUE(doc.Item(0).Tag.Text);
  EXPECT_EQ(*doc.Item(0).Tag.Text, "go:http://a.org/");
  EXPECT_EQ(doc.Item(0).Hint, "Tip");
  // The picture was kept out of the link.
  EXPECT_EQ(doc.Item(1).StyleNo, rdsPicture);
  EXPECT_EQ(dynamic_cast<TRDHotGraphicItemInfo*>(&doc.Item(1)), nullptr);

  // A style the sheet does not have leaves the import's choice.
  textStyle = 999;
  ASSERT_EQ(doc.Import(link), rtf_ec_OK);
  EXPECT_TRUE(doc.TextStyleOf(2).Jump);
  EXPECT_NE(doc.Item(2).StyleNo, 999);
}

// An import that knows a control word of its own and ignores bold.
class TStationWords : public TRDRTFReaderProperties {
 public:
  void TranslateKeyword(const std::string& keyword, int param, bool hasParam, std::string& text,
                        bool& doDefault) override {
    if (keyword == "station") {
      text = hasParam ? "DL1ABC-" + std::to_string(param) : "DL1ABC";
      doDefault = false;
    } else if (keyword == "b") {
      doDefault = false;
    }
  }
};

TEST(RTFImportHooks, ControlWordsOfTheApplication) {
  TRDStyle sheet;
  TCustomRDData document;
  document.SetRDStyle(&sheet);
  TStationWords options;
  options.TextStyleMode = rdrsAddIfNeeded;
  const std::string rtf = "{\\rtf1 heard \\station9  and {\\b \\station}.}";
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), int64_t(rtf.size()));
  stream.SetPosition(0);
  int index = 0;
  ASSERT_EQ(ReadRTF(options, stream, document, index), rtf_ec_OK);
  std::string text;
  for (int i = 0; i < document.GetItemCount(); ++i) {
    text += document.GetItemTextRaw(i);
    EXPECT_EQ(sheet.TextStyles()[document.GetItem(i)->StyleNo].Style, 0);
  }
  EXPECT_EQ(text, "heard DL1ABC-9 and DL1ABC.");
}

TEST(RTFImportHooks, TheApplicationSaysWhichParagraphStylesMayBeUsed) {
  // Closest match: the centred style wins unless it is refused.
  TRTFImportDocument doc;
  ASSERT_EQ(doc.Import("{\\rtf1\\qc a\\par}"), rtf_ec_OK);
  const int centredNo = doc.Item(0).ParaNo;
  ASSERT_EQ(doc.ParaStyleOf(0).Alignment, rdaCenter);
  std::vector<std::pair<int, bool>> asked;
  doc.Options.OnAcceptStyle = [&](int styleNo, bool hypertext, bool& accept) {
    asked.emplace_back(styleNo, hypertext);
    if (styleNo == centredNo) accept = false;
  };
  ASSERT_EQ(doc.Import("{\\rtf1\\qc b\\par}"), rtf_ec_OK);
  EXPECT_NE(doc.Item(1).ParaNo, centredNo);
  ASSERT_FALSE(asked.empty());
  EXPECT_FALSE(asked.front().second);
  // A paragraph that starts with a link says so.
  asked.clear();
  ASSERT_EQ(doc.Import("{\\rtf1\\qc{\\field{\\*\\fldinst HYPERLINK \"http://a.org/\"}"
                       "{\\fldrslt link}}\\par}"),
            rtf_ec_OK);
  ASSERT_FALSE(asked.empty());
  EXPECT_TRUE(asked.front().second);

  // Styles added as needed: an equal style that is refused makes the import add one.
  TRTFImportDocument paras;
  paras.Options.ParaStyleMode = rdrsAddIfNeeded;
  ASSERT_EQ(paras.Import("{\\rtf1\\qc a\\par}"), rtf_ec_OK);
  const int added = paras.Item(0).ParaNo;
  const int count = paras.Sheet.ParaStyles().Count();
  paras.Options.OnAcceptStyle = [added](int styleNo, bool, bool& accept) {
    if (styleNo == added) accept = false;
  };
  ASSERT_EQ(paras.Import("{\\rtf1\\qc b\\par}"), rtf_ec_OK);
  EXPECT_EQ(paras.Sheet.ParaStyles().Count(), count + 1);
  EXPECT_EQ(paras.Item(1).ParaNo, count);
  EXPECT_EQ(paras.ParaStyleOf(1).Alignment, rdaCenter);
}

}  // namespace
