// The named formats an editor takes from the clipboard and from drags, and the drop
// effects as the editor's drop events present them.
#pragma once

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
