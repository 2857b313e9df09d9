// The "FileGroupDescriptor" data of a drag: the names of files offered without files on
// disk (the rows of a section list, one name per row with the row's strings each
// followed by "|"; the name of a dragged link). A name is kept whole, however long, and
// holds any byte: each is stored with its length.
#pragma once

#include <string>
#include <vector>

inline constexpr const char* kFileGroupDescriptorFormat = "FileGroupDescriptor";
inline constexpr const char* kFileContentsFormat = "FileContents";

std::string EncodeFileGroupDescriptor(const std::vector<std::string>& Names);
// False, with Names empty, when Bytes is not a whole descriptor: it comes from
// whatever program the drag came from.
bool DecodeFileGroupDescriptor(const std::string& Bytes, std::vector<std::string>& Names);
