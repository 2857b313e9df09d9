// The document data's side of the objects in the text: the application's answers for
// pictures, controls and image lists a document file names, the window controls live
// on (a control named in a file is asked for beside the control items, in
// control_item.cpp), and item hints. Sub-documents (table cells) ask their root.
#include "platform/gui/graphics/bitmap.h"
#include "richtext/model/rd_data.h"

std::unique_ptr<TGraphic> TCustomRDData::DoRDFPictureNeeded(const std::string& name,
                                                            const TRDTag& tag) {
  if (TCustomRDData* root = GetRootData(); root != this) return root->DoRDFPictureNeeded(name, tag);
  return OnRDFPictureNeeded ? OnRDFPictureNeeded(name, tag) : nullptr;
}

TImageList* TCustomRDData::DoRDFImageListNeeded(int imageListTag) {
  if (TCustomRDData* root = GetRootData(); root != this)
    return root->DoRDFImageListNeeded(imageListTag);
  return OnRDFImageListNeeded ? OnRDFImageListNeeded(imageListTag) : nullptr;
}

TWinControl* TCustomRDData::GetParentControl() {
  if (TCustomRDData* root = GetRootData(); root != this) return root->GetParentControl();
  return ParentControl;
}

void TCustomRDData::DoControlAction(TRDControlAction action, int itemNo, TControl* control) {
  if (TCustomRDData* root = GetRootData(); root != this)
    return root->DoControlAction(action, itemNo, control);
  if (OnControlAction) OnControlAction(action, itemNo, control);
}

std::string TCustomRDData::DoItemHint(TCustomRDData* rdData, int itemNo) {
  if (TCustomRDData* root = GetAbsoluteRootData(); root != this)
    return root->DoItemHint(rdData, itemNo);
  return OnItemHint ? OnItemHint(rdData, itemNo) : std::string();
}

TRDAnimatorList* TCustomRDData::GetAnimators() {
  if (TCustomRDData* root = GetRootData(); root != this) return root->GetAnimators();
  return nullptr;
}

TRDRTFReaderProperties* TCustomRDData::GetRTFReadProperties() {
  if (TCustomRDData* root = GetAbsoluteRootData(); root != this)
    return root->GetRTFReadProperties();
  return nullptr;
}

std::unique_ptr<TGraphic> TCustomRDData::DoImportPicture(const std::string& location) {
  if (TCustomRDData* root = GetAbsoluteRootData(); root != this)
    return root->DoImportPicture(location);
  return OnImportPicture ? OnImportPicture(location) : nullptr;
}

bool TCustomRDData::IsProgressEventAssigned() {
  if (TCustomRDData* root = GetAbsoluteRootData(); root != this)
    return root->IsProgressEventAssigned();
  return bool(OnProgress);
}

void TCustomRDData::DoProgress(TRDProgressStage stage, std::uint8_t percentDone) {
  if (TCustomRDData* root = GetAbsoluteRootData(); root != this)
    return root->DoProgress(stage, percentDone);
  if (OnProgress) OnProgress(stage, percentDone);
}

void TCustomRDData::DoImportedPictureInserting(TCustomRDData* rdData,
                                               std::unique_ptr<TGraphic>& graphic,
                                               const std::string& fileName, bool& insert) {
  if (TCustomRDData* root = GetAbsoluteRootData(); root != this)
    return root->DoImportedPictureInserting(rdData, graphic, fileName, insert);
  if (OnImportedPictureInserting) OnImportedPictureInserting(rdData, graphic, fileName, insert);
}

void TCustomRDData::DoReadHyperlink(const std::string& target, const std::string& extras,
                                    TRDLoadFormat docFormat, int& styleNo, TRDTag& tag,
                                    std::string& itemName) {
  if (TCustomRDData* root = GetAbsoluteRootData(); root != this)
    return root->DoReadHyperlink(target, extras, docFormat, styleNo, tag, itemName);
  if (OnReadHyperlink) OnReadHyperlink(target, extras, docFormat, styleNo, tag, itemName);
}
