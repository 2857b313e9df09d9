// Picture kinds by name, so that pictures stored with their class name ("TBitmap",
// "TJPEGImage") in style sheets and documents can be created again, and the two
// program-wide hooks through which every picture of a kind known only at run time is
// created and, after a document import, handed to the application.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/gui/graphics/bitmap.h"

// A picture that came as PNG (from another program's document): it keeps the pixels it
// decoded to and is stored as PNG again, so that it survives our own formats unchanged:
// as the file it was loaded from while its pixels are as loaded.
class TPngImage : public TBitmap {
 public:
  // Reads the rest of the stream as one picture file (PNG, or any format the system
  // reads); raises EInvalidGraphic, leaving the picture as it was, when it holds none.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  std::unique_ptr<TGraphic> Clone() const override;
};

// A picture kind: its constructor of an empty picture.
using TRDGraphicClass = std::unique_ptr<TGraphic> (*)();

// Registers a kind under its class name; is tells whether a picture is of the kind.
void RegisterGraphicClass(const std::string& name, TRDGraphicClass create,
                          bool (*is)(const TGraphic&));
// nullptr for an unknown name (compared ignoring case).
TRDGraphicClass FindGraphicClass(std::string_view name);
// The registered class name of a picture, "" when its kind is not registered.
std::string GraphicClassName(const TGraphic& graphic);

// Creates a picture of a kind (default: the kind's constructor).
extern std::function<std::unique_ptr<TGraphic>(TRDGraphicClass)> RDCreateGraphicProc;
// Called with every picture a document reader made (default: nothing).
extern std::function<void(TGraphic&)> RDAfterImportGraphicProc;
