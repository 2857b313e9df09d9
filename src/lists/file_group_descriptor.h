// The "FileGroupDescriptor" data of a drag of section-list rows: one name per row, the
// row's strings each followed by "|". A name is kept whole, however long, and holds any
// byte: each is stored with its length.
#pragma once

#include <string>
#include <vector>

#include "platform/gui/drag_drop.h"

inline constexpr const char* kFileContentsFormat = "FileContents";

std::string EncodeFileGroupDescriptor(const std::vector<std::string>& Names);
// False, with Names empty, when Bytes is not a whole descriptor: it comes from
// whatever program the drag came from.
bool DecodeFileGroupDescriptor(const std::string& Bytes, std::vector<std::string>& Names);
