#include "richtext_edit/support/rtf_event_log.h"

#include <fstream>
#include <sstream>

#include "platform/text/format.h"
#include "richtext/base/code_pages.h"

const char* PositionName(TRDRTFPosition position) {
  switch (position) {
    case rtf_ts_ContinuePara:
      return "Continue";
    case rtf_ts_NewLine:
      return "NewLine";
    default:
      return "NewPara";
  }
}

TRTFEventLog::TRTFEventLog(TRDRTFReader& reader, bool unicode) {
  const auto addText = [this](const std::string& utf8, TRDRTFPosition at, const char* kind) {
    Lines.push_back(Format("%s %s: %s", kind, PositionName(at), utf8));
    if (at == rtf_ts_NewPara && !text_.empty()) text_ += '\n';
    if (at == rtf_ts_NewLine) text_ += '\n';
    text_ += utf8;
  };
  reader.OnNewText = [this, addText](TRDRTFReader* sender, const std::string& text,
                                     TRDRTFPosition at) {
    addText(AnsiToUTF8(TRDCodePage(sender->CodePage()), text), at,
            sender->State().CharProps.Hidden ? "hidden" : "text");
  };
  if (unicode)
    reader.OnNewUnicodeText = [addText](TRDRTFReader*, const std::u16string& text,
                                        TRDRTFPosition at) {
      addText(RawUnicodeToUTF8(WideStringToRawUnicode(text)), at, "utext");
    };
  reader.OnTable = [this](TRDRTFReader*, TRDRTFTableEventKind kind) {
    static const char* const kNames[] = {"table start", "table end", "row end", "cell end"};
    Lines.push_back(kNames[kind]);
  };
  reader.OnNewPicture = [this](TRDRTFReader*, TRDRTFPicture* picture,
                               std::unique_ptr<TGraphic>& graphic, TRDRTFPosition at,
                               const std::string& fileName, bool& inserted) {
    std::string line =
        picture ? Format("picture %d %dx%d", int(picture->PicType), picture->Width, picture->Height)
                : Format("field picture %s", fileName);
    line += graphic ? Format(" graphic %dx%d", graphic->Width(), graphic->Height())
                    : std::string(" no graphic");
    Lines.push_back(line + " " + PositionName(at));
    inserted = AcceptPictures;
    if (inserted && graphic) Pictures.push_back(std::move(graphic));
  };
  reader.OnNewObject = [this](TRDRTFReader*, TRDRTFObject* object, TRDRTFPosition, bool& inserted) {
    Lines.push_back(Format("object %d %d bytes %dx%d", int(object->ObjType),
                           int(object->Data.Size()), object->Width, object->Height));
    inserted = AcceptObjects;
  };
  reader.OnHeaderFooter = [this](TRDRTFReader*, TRDRTFHeaderFooterType type, bool starting,
                                 bool& supported) {
    Lines.push_back(
        Format("%s %s", type == rtf_hf_Header ? "header" : "footer", starting ? "start" : "end"));
    supported = SupportHeaders;
  };
  reader.OnRequiredPageBreak = [this](TComponent*) { Lines.push_back("page"); };
  reader.OnEndParsing = [this](TComponent*) { Lines.push_back("end"); };
}

std::string TRTFEventLog::Text() const {
  return text_;
}

TRDRTFErrorCode ReadRTF(TRDRTFReader& reader, const std::string& rtf) {
  TMemoryStream stream;
  stream.WriteBuffer(rtf.data(), std::int64_t(rtf.size()));
  stream.Seek(0, soBeginning);
  return reader.ReadFromStream(stream);
}

std::string LoadTestFile(const std::string& relativePath) {
  std::ifstream file(std::string(VELMORA_TEST_DATA) + "/" + relativePath, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}
