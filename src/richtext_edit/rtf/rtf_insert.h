// RTF inserted at the editor's caret: the import reads into the editor's document through
// the editor's one-step document insertion (insert_document.cpp). It lives with the import
// so that the editor, which the import's tables build on, does not reach up to it; the
// editor's RTF inserts, pastes and drops reach it through RTFInsertion (rich_doc_edit.h).
#pragma once

class TRDEditRDData;
class TStream;

// The rest of the stream as RTF at the caret as one undo step; true for an empty rest,
// false, after a beep, when it could not be read (what was read stays, laid out).
bool InsertRTFStreamAtCaret(TRDEditRDData& data, TStream& stream);
// Sets RTFInsertion to the above. It runs when this module is linked in; a program whose
// editors take RTF and that names nothing else here calls it once at start-up.
void RegisterRTFInsertion();
