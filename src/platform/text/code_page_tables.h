// Upper halves (bytes 0x80..0xFF) of the single-byte code pages the component converts:
// the Windows pages 874 and 1250..1258, the OEM page 437 and the Macintosh page 10000.
#pragma once

// The 128 UTF-16 units of bytes 0x80..0xFF of codePage, or nullptr when the page is not
// a single-byte page known here.
const char16_t* SingleByteCodePageTable(int codePage);
