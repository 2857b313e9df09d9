// Pictures, embedded objects and fields: what happens when their groups open and close.
//   {\field{\*\fldinst INCLUDEPICTURE "logo.png"}{\fldrslt ...}}  a picture from a file
//   {\field{\*\fldinst SYMBOL 183 \\f "Symbol" \\s 10}}          one character of a font,
//                                                            written instead of its result
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/gui/graphics/picture.h"
#include "platform/text/streams.h"
#include "platform/text/sysutils.h"
#include "richtext/base/text_routines.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"
#include "richtext_edit/rtf/rtf_property_values.h"
#include "richtext_edit/rtf/rtf_reader.h"

namespace {

bool IsPathDelimiter(char c) {
  return c == '/' || c == '\\';
}

}  // namespace

std::string RTFFieldArgument(const std::string& text, std::size_t pos) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (pos >= text.size()) return {};
  if (text[pos] == '"') {
    const std::size_t end = text.find('"', pos + 1);
    return text.substr(pos + 1, end == std::string::npos ? std::string::npos : end - pos - 1);
  }
  const std::size_t end = text.find(' ', pos);
  return text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
}

bool TRDRTFReader::ReportPicture(TRDRTFPicture* picture, std::unique_ptr<TGraphic>& graphic,
                                 const std::string& fileName) {
  // A picture that begins a paragraph or a table's cell goes where text there would.
  if (PrepareOutput() != rtf_ec_OK) return false;
  state_->ParaProps.Finalize();
  bool inserted = false;
  OnNewPicture(this, picture, graphic, next_position_, fileName, inserted);
  if (inserted) next_position_ = rtf_ts_ContinuePara;
  return inserted;
}

TRDRTFErrorCode TRDRTFReader::StartPicture() {
  if (cur_picture_) return rtf_ec_InvalidPicture;
  const bool fromShpPict = state_->Destination == rtf_ds_ShpPict;
  SetDestination(rtf_ds_Picture);
  if (OnNewPicture) {
    cur_picture_ = std::make_unique<TRDRTFPicture>();
    cur_picture_->FromShpPict = fromShpPict;
    hex_high_nibble_ = true;
  }
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::EndPicture() {
  if (const TRDRTFErrorCode error = OutputChar(0, false); error != rtf_ec_OK) return error;
  if (!cur_picture_) return OnNewPicture ? rtf_ec_InvalidPicture : rtf_ec_OK;
  const std::unique_ptr<TRDRTFPicture> picture = std::move(cur_picture_);
  if (state_->FieldPictureInserted) return rtf_ec_OK;
  std::unique_ptr<TGraphic> graphic =
      CreatePictureGraphic(*picture, PixelsPerInch, ExtractMetafileBitmaps,
                           PictureBudget ? *PictureBudget : own_picture_budget_);
  if (graphic && GraphicCreatedHook) GraphicCreatedHook(*graphic);
  const bool inserted = ReportPicture(picture.get(), graphic, {});
  if (picture->FromShpPict) shp_pict_inserted_ = inserted;
  if (!inserted && state_->FieldPicture && ReportPicture(nullptr, state_->FieldPicture, {})) {
    state_->FieldPictureInserted = true;
    state_->FieldPicture.reset();
  }
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::EndObjectData() {
  if (const TRDRTFErrorCode error = OutputChar(0, false); error != rtf_ec_OK) return error;
  if (!cur_object_ || !OnNewObject) return rtf_ec_OK;
  if (const TRDRTFErrorCode error = PrepareOutput(); error != rtf_ec_OK) return error;
  cur_object_->Data.Seek(0, soBeginning);
  state_->ParaProps.Finalize();
  object_inserted_ = false;
  OnNewObject(this, cur_object_.get(), next_position_, object_inserted_);
  next_position_ = rtf_ts_ContinuePara;
  return rtf_ec_OK;
}

void TRDRTFReader::EndField() {
  if (OnNewPicture && state_->FieldPicture && !state_->FieldPictureInserted)
    ReportPicture(nullptr, state_->FieldPicture, {});
  state_->FieldInstruction.clear();
  state_->FieldPictureInserted = false;
  state_->FieldSymbolWritten = false;
  state_->FieldPicture.reset();
}

TRDRTFErrorCode TRDRTFReader::EndFieldInstruction() {
  const std::string instruction = state_->FieldInstruction;
  if (OnNewPicture) InsertFieldPicture(instruction);
  return OutputSymbolField(instruction);
}

std::unique_ptr<TGraphic> TRDRTFReader::LoadFieldPicture(const std::string& location,
                                                         bool& invalid) {
  std::unique_ptr<TGraphic> graphic;
  invalid = false;
  if (OnImportPicture) OnImportPicture(this, location, graphic, invalid);
  if (graphic) return graphic;
  // Only regular files of a sane size: a field may name a device or a huge file.
  std::error_code error;
  const std::filesystem::path path(location);
  if (!std::filesystem::is_regular_file(path, error) || error) return nullptr;
  const auto size = std::filesystem::file_size(path, error);
  if (error || size > std::uintmax_t(kMaxFieldPictureFileSize)) return nullptr;
  // A file we cannot read leaves the field's result (its picture or text) to be read.
  TPicture picture;
  try {
    picture.LoadFromFile(location);
  } catch (const EInvalidGraphic&) {
    return nullptr;
  } catch (const EStreamError&) {
    return nullptr;
  }
  return picture.Graphic() ? picture.Graphic()->Clone() : nullptr;
}

void TRDRTFReader::InsertFieldPicture(const std::string& instruction) {
  std::string text = Trim(instruction);
  if (!text.empty() && text[0] == '\\') text.erase(0, 1);
  const std::string upper = UpperCase(text);
  const std::size_t nameLength = upper.starts_with("INCLUDEPICTURE") ? 14
                                 : upper.starts_with("IMPORT")       ? 6
                                                                     : 0;
  if (nameLength == 0) return;
  std::string location =
      StringReplace(RTFFieldArgument(text, nameLength), "\\\\", "\\", rfReplaceAll);
  if (location.empty()) return;
  if (!BasePath.empty() && IsPathDelimiter(BasePath.back()) && IsPathDelimiter(location[0]))
    location.erase(0, 1);
  if (location.find(':') == std::string::npos) location = BasePath + location;
  bool invalid = false;
  std::unique_ptr<TGraphic> graphic = LoadFieldPicture(location, invalid);
  if (!graphic || invalid) {
    const std::string decoded = DecodePercentEscapes(location);
    bool decodedInvalid = false;
    if (decoded != location)
      if (auto other = LoadFieldPicture(decoded, decodedInvalid)) {
        graphic = std::move(other);
        invalid = decodedInvalid;
        location = decoded;
      }
  }
  if (!graphic) return;
  if (GraphicCreatedHook) GraphicCreatedHook(*graphic);
  if (invalid) {
    state_->FieldPicture = std::move(graphic);
    return;
  }
  ReportPicture(nullptr, graphic, location);
  next_position_ = rtf_ts_ContinuePara;
  state_->FieldPictureInserted = true;
}

TRDRTFErrorCode TRDRTFReader::OutputSymbolField(const std::string& instruction) {
  const std::string text = Trim(instruction);
  if (!UpperCase(text).starts_with("SYMBOL")) return rtf_ec_OK;
  constexpr std::size_t kCodeAt = 7;  // after "SYMBOL "
  const std::string rest = text.size() > kCodeAt ? text.substr(kCodeAt) : std::string();
  int code = 0;
  if (!TryStrToInt(rest.substr(0, rest.find(' ')), code) || code < 1 || code > 255)
    return rtf_ec_OK;
  const std::size_t fontAt = rest.find("\\f");
  const std::size_t quoteAt = fontAt == std::string::npos ? fontAt : rest.find('"', fontAt);
  const std::size_t quoteEnd = quoteAt == std::string::npos ? quoteAt : rest.find('"', quoteAt + 1);
  const std::size_t sizeAt = rest.find("\\s");
  if (quoteEnd == std::string::npos || sizeAt == std::string::npos) return rtf_ec_OK;
  std::string sizeText = RTFFieldArgument(rest, sizeAt + 2);
  for (char& c : sizeText)
    if (c == '.') c = DecimalSeparator;
  double size = 0;
  if (!TryStrToFloat(sizeText, size) || !std::isfinite(size) || std::fabs(size) > 1e6)
    return rtf_ec_OK;
  TRDRTFCharProperties& chars = state_->CharProps;
  const int savedSize = chars.Size;
  const std::string savedName = chars.FontName;
  chars.FontName = rest.substr(quoteAt + 1, quoteEnd - quoteAt - 1);
  chars.Size = std::clamp(int(std::nearbyint(size)), HalfPointsToPoints(kMinFontHalfPoints),
                          HalfPointsToPoints(kMaxFontHalfPoints));
  TRDRTFErrorCode error = OutputChar(code, true);
  if (error == rtf_ec_OK) error = OutputChar(0, true);
  chars.Size = savedSize;
  chars.FontName = savedName;
  state_->FieldSymbolWritten = true;
  return error;
}
