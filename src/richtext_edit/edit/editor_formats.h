// The named formats an editor takes from the clipboard and from drags, and the drop
// effects as the editor's drop events present them.
#pragma once

#include <functional>
#include <string>

#include "platform/gui/controls/drag_drop.h"
#include "richtext_edit/edit/rich_doc_edit.h"

// Clipboard format ids: the viewers' own block, RTF, and HTML (whose source line names
// the folder of pictures in pasted RTF).
unsigned RichDocClipboardFormat();
unsigned RichTextClipboardFormat();
unsigned HtmlClipboardFormat();

// The AcceptDragDropFormats bit that lets a drop take a format (a MIME type or a name of
// our own); 0 for formats an editor never takes.
TRDDragDropFormats DragDropFormatOf(const std::string& format);

// A link is rddeLink both ways; a set never holds rddeNone.
TRDOleDropEffect RDDropEffectOf(TDropEffects effect);
TDropEffect DropEffectOf(TRDOleDropEffect effect);
TRDOleDropEffects RDDropEffectsOf(TDropEffects effects);

// Runs insert, the insertion of one format into editor (its innermost open editor takes
// it), as a whole: when it fails after part of what it read went in, that part is taken
// back, so that a paste or a drop tries the next format offered on the document as it
// was and never leaves part of a document behind.
bool InsertWholeOrNothing(TCustomRichDocEdit& editor, const std::function<bool()>& insert);
