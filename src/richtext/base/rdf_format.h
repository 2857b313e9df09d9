// Numbers of the document format (RDF) shared by its writer, its reader and the items:
// record kinds, kinds of document-property records, data-line forms and warning bits.
#pragma once

// What the reader does with the styles a document brings along.
enum TRDFReaderStyleMode { rdf_sIgnore, rdf_sInsertMap, rdf_sInsertMerge };

// Record kinds (the first header field) that are not items.
constexpr int kRDFCheckpoint = -2;
constexpr int kRDFBackground = -7;
constexpr int kRDFVersion = -8;
constexpr int kRDFDocProperty = -9;

// Kinds of document-property records (the last header field of a -9 record).
constexpr int kRDFTextStyles = 1;
constexpr int kRDFParaStyles = 2;
constexpr int kRDFLayout = 3;
constexpr int kRDFListStyles = 4;
constexpr int kRDFDocProperties = 5;
constexpr int kRDFMarkers = 6;

// How a record's data lines are written (the SaveType header field).
constexpr int kRDFSaveText = 0;
constexpr int kRDFSaveNoBody = 1;  // a picture or control stored by its name only
constexpr int kRDFSaveBinary = 2;  // the last data line is a binary block
constexpr int kRDFSaveUnicodeHex = 3;

// The item flag query that an item answers False to decline its record.
constexpr unsigned char kRDFItemFlagAcceptsRecord = 2;

// Bits of the reader's warning set.
constexpr unsigned rdfwUnknownPictureFormat = 0x01;
constexpr unsigned rdfwUnknownControls = 0x02;
constexpr unsigned rdfwLargeImageIndex = 0x08;
constexpr unsigned rdfwInvalidPicture = 0x40;
constexpr unsigned rdfwStyleOutOfRange = 0x04;
constexpr unsigned rdfwConvertedToUnicode = 0x10;
constexpr unsigned rdfwConvertedToAnsi = 0x20;
constexpr unsigned rdfwStyleDataError = 0x80;
// Pictures left out as beyond what the document may hold decoded (see picture_budget.h).
constexpr unsigned rdfwPicturesLeftOut = 0x100;
// Table rows left out as beyond what a read may build (their text kept as paragraphs).
constexpr unsigned rdfwTableCellsLeftOut = 0x200;
