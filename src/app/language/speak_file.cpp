#include "app/language/speak_file.h"

#include "app/language/code_encode.h"
#include "app/language/frm_prg_msg.h"
#include "app/language/frm_speak.h"
#include "app/language/language_key.h"
#include "app/product.h"
#include "app/shelf/app_folders.h"
#include "controls/my_button.h"
#include "controls/my_flat_combobox.h"
#include "controls/my_msg_dialog.h"
#include "controls/number_edit.h"
#include "core/csv_ctrl.h"
#include "core/my_tools.h"
#include "html/html_list_box.h"
#include "lists/ex_page_control.h"
#include "lists/ex_popup_menu.h"
#include "lists/ex_section_list.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/check_box.h"
#include "platform/gui/standard/combo_box.h"
#include "platform/gui/standard/edit.h"
#include "platform/gui/standard/list_box.h"
#include "platform/gui/standard/memo.h"
#include "platform/gui/standard/message_box.h"
#include "platform/sys/application.h"
#include "platform/sys/files.h"
#include "platform/text/format.h"
#include "platform/text/local_texts.h"
#include "platform/text/shown_text.h"
#include "platform/text/string_list.h"
#include "platform/text/sysutils.h"

const char* const kSpeakHeaderMarker = "###VIRDO-SPK-HEADER###";
const char* const kLanguageVersion = "1.2";
const char* const kSpeakDestroyedText = "The SPEAK file \"%s\" is destroyed!";
const char* const kSpeakDeleteText = "Please delete this file from \"%s\" !";
const char* const kSpeakWrongVersionText = "This SPEAK file \"%s\" is not for %s Version %s !";
const char* const kSpeakNotReadText = "The SPEAK file \"%s\" was not read: %s.";
const char* const kSpeakUntranslatedText =
    "Informationen von \"%s:%s\" NICHT \xFC"
    "bersetzt!";
const char* const kSpeakUntranslatedMoreText =
    "... und %d weitere NICHT \xFC"
    "bersetzt!";

namespace {

constexpr const char* kSpeakCr = "%cr%";
// Two-line messages are joined by a line feed and a carriage return, in that order.
constexpr const char* kMessageLineJoin = "\n\r";

enum SpeakField {
  kFieldForm,
  kFieldComponent,
  kFieldClass,
  kFieldCaption,
  kFieldHint,
  kFieldExtra
};

std::string Field(const std::string& Rec, int Index) {
  std::string value;
  CsvGetField(Index, Rec, value);
  return value;
}

// The lines of a caption that holds CR LF line breaks.
void SplitLines(const std::string& Text, TStrings& Lines) {
  Lines.Clear();
  size_t start = 0;
  while (true) {
    const size_t end = Text.find("\r\n", start);
    Lines.Add(Text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
}

struct TSpeakLine {
  std::string Caption;
  std::string Hint;
  std::string Extra;
};

// "Hint": a non-empty hint replaces the control's; show-hint follows the hint.
void ApplyHint(TControl& Control, const TSpeakLine& Line) {
  if (!Line.Hint.empty()) Control.SetHint(Line.Hint);
  Control.SetShowHint(!Line.Hint.empty());
}

// "Text": a non-empty caption becomes the control's caption, or its text.
void ApplyText(TControl& Control, const TSpeakLine& Line) {
  if (Line.Caption.empty()) return;
  if (auto* memo = dynamic_cast<TMemo*>(&Control)) {
    memo->SetText(Line.Caption);
  } else {
    Control.SetCaption(Line.Caption);
  }
}

// The items become the caption's lines. The chosen item stays chosen: a language
// change must not lose a setting that was loaded into the box, and the change of
// items is no choice of the user, so no handler runs.
void ApplyComboItems(TCustomComboBox& Combo, const TSpeakLine& Line) {
  if (Line.Caption.empty()) return;
  const int index = Combo.ItemIndex();
  TNotifyEvent onChange = std::move(Combo.OnChange);
  Combo.OnChange = nullptr;
  TStringList lines;
  SplitLines(Line.Caption, lines);
  Combo.Items().BeginUpdate();
  Combo.Items().Clear();
  Combo.Items().AddStrings(lines);
  Combo.Items().EndUpdate();
  Combo.SetItemIndex(index < Combo.Items().Count() ? index : -1);
  Combo.OnChange = std::move(onChange);
}

// A list's items become the caption's lines; the chosen row stays chosen, as with combo
// boxes (the settings window's page list chooses the page shown by it).
template <class TList>
void ApplyListItems(TList& List, const TSpeakLine& Line) {
  if (Line.Caption.empty()) return;
  const int index = List.ItemIndex();
  List.Items().BeginUpdate();
  SplitLines(Line.Caption, List.Items());
  List.Items().EndUpdate();
  List.SetItemIndex(index < List.Items().Count() ? index : -1);
}

// Column n's caption becomes line n of the caption; lines beyond the columns are left out.
void ApplyColumnCaptions(TExSectionList& List, const TSpeakLine& Line) {
  if (Line.Caption.empty()) return;
  TStringList lines;
  SplitLines(Line.Caption, lines);
  List.Columns.BeginUpdate();
  for (int n = 0; n < lines.Count() && n < List.Columns.Count(); ++n)
    List.Columns.Items(n)->SetCaption(lines[n]);
  List.Columns.EndUpdate();
}

void ApplyNumberEdit(TNumberEdit& Edit, TSpeakLine Line) {
  Edit.SetAutoHint(false);
  std::string hint = Line.Hint;
  if (!hint.empty()) {
    std::string extra = Line.Extra;
    try {
      extra = Format(Line.Extra, Edit.IntMin(), Edit.IntMax(), Edit.IntDef());
    } catch (const EConvertError&) {
      // A pattern that does not take three numbers is shown as written.
    }
    hint += std::string(kMessageLineJoin) + extra;
    Edit.SetHint(hint);
  }
  Edit.SetShowHint(!hint.empty());
}

bool IsOneOf(const std::string& ClassField, std::initializer_list<const char*> Names) {
  for (const char* name : Names)
    if (ClassField == name) return true;
  return false;
}

// The class table: true when the line was translated.
// A menu item's caption and hint; a styled menu takes the change as one batch.
bool ApplyToMenuItem(TMenuItem& Item, const TSpeakLine& Line) {
  auto* styled = dynamic_cast<TExPopupMenu*>(Item.GetParentMenu());
  if (styled) styled->BeginUpdate();
  if (!Line.Caption.empty()) Item.Caption = Line.Caption;
  if (!Line.Hint.empty()) Item.Hint = Line.Hint;
  if (styled) styled->EndUpdate();
  return true;
}

bool ApplyToComponent(TComponent& Component, const std::string& ClassField,
                      const TSpeakLine& Line) {
  if (ClassField == "TMENUITEM") {
    auto* item = dynamic_cast<TMenuItem*>(&Component);
    return item && ApplyToMenuItem(*item, Line);
  }
  auto* control = dynamic_cast<TControl*>(&Component);
  if (!control) return false;
  // A page's tab shows its caption; the export names our sheets by their own class.
  if (IsOneOf(ClassField, {"TADVTABSHEET", "TEXTABSHEET"})) {
    auto* sheet = dynamic_cast<TExTabSheet*>(control);
    if (!sheet) return false;
    if (!Line.Caption.empty()) sheet->SetCaption(Line.Caption);
    ApplyHint(*control, Line);
    return true;
  }
  if (IsOneOf(ClassField,
              {"TADVTOOLBARBUTTON", "TBUTTON", "TCHECKBOX", "TGROUPBOX", "TLABEL", "TMEMO",
               "TMYCOMBOBOX", "TMYINETLABEL", "TMYPANEL", "TPANEL", "TRADIOBUTTON", "TSPEEDBUTTON",
               "TSTATICTEXT", "TTABSHEET", "TTOOLBUTTON", "TBITMAPFONT", "TMYBUTTON"})) {
    ApplyText(*control, Line);
    ApplyHint(*control, Line);
    return true;
  }
  if (IsOneOf(ClassField, {"TBITMAPMASK", "TCOMPASS", "TIMAGE", "THYDRO", "TMYPROGRESSBAR",
                           "TTRACKBAR", "TEDIT", "TMASKEDIT", "TQRGEDIT"})) {
    // Edits keep their text: it holds a setting (a callsign, a path) by now.
    ApplyHint(*control, Line);
    return true;
  }
  if (IsOneOf(ClassField, {"TTABSET", "TLISTBOX", "TTABCONTROL", "THTMLLISTBOX"})) {
    if (auto* list = dynamic_cast<TListBox*>(control)) {
      ApplyListItems(*list, Line);
    } else if (auto* html = dynamic_cast<THtmlListBox*>(control)) {
      ApplyListItems(*html, Line);
    } else {
      return false;
    }
    ApplyHint(*control, Line);
    return true;
  }
  // Column lists: our grouped column list is named by its own class too.
  if (IsOneOf(ClassField, {"TLISTVIEW", "TEXSECTIONLIST"})) {
    auto* list = dynamic_cast<TExSectionList*>(control);
    if (!list) return false;
    ApplyColumnCaptions(*list, Line);
    ApplyHint(*control, Line);
    return true;
  }
  if (IsOneOf(ClassField, {"TCOMBOBOX", "TMYFLATCOMBOBOX"})) {
    auto* combo = dynamic_cast<TCustomComboBox*>(control);
    if (!combo) return false;
    ApplyComboItems(*combo, Line);
    ApplyHint(*control, Line);
    return true;
  }
  if (ClassField == "TNUMBEREDIT") {
    auto* edit = dynamic_cast<TNumberEdit*>(control);
    if (!edit) return false;
    ApplyNumberEdit(*edit, Line);
    return true;
  }
  return false;
}

TForm* FindForm(const std::string& Name) {
  for (int n = 0; n < Screen->FormCount(); ++n) {
    TForm* form = Screen->Forms(n);
    if (form->Name == Name) return form;
  }
  return nullptr;
}

TComponent* FindComponentExact(const TForm& Form, const std::string& Name) {
  for (int n = 0; n < Form.ComponentCount(); ++n) {
    TComponent* component = Form.Components(n);
    if (component->Name == Name) return component;
  }
  return nullptr;
}

std::string TwoLineMessage(const std::string& First, const std::string& Second) {
  return First + kMessageLineJoin + Second;
}

}  // namespace

std::string SpeakCrToLineBreak(const std::string& S) {
  return StringReplace(S, kSpeakCr, "\r\n", rfReplaceAll);
}

std::string LineBreakToSpeakCr(const std::string& S) {
  std::string result;
  for (size_t n = 0; n < S.size(); ++n) {
    if (S[n] == '\r') {
      result += kSpeakCr;
      ++n;  // the character after the CR goes with it
    } else {
      result += S[n];
    }
  }
  return result;
}

std::string SpeakVersionPart(const std::string& Version) {
  const size_t dot = Version.find('.');
  if (dot == std::string::npos) return Version.substr(0, 1);
  return Version.substr(0, dot + 2);
}

bool ApplySpeakLine(const std::string& Line, TUntranslatedLines* Untranslated) {
  const std::string formName = Field(Line, kFieldForm);
  const std::string componentName = Field(Line, kFieldComponent);
  const std::string classField = UpperCase(Field(Line, kFieldClass));
  const TSpeakLine texts{SpeakCrToLineBreak(Field(Line, kFieldCaption)),
                         SpeakCrToLineBreak(Field(Line, kFieldHint)), Field(Line, kFieldExtra)};
  TForm* form = FindForm(formName);
  if (!form) return false;
  if (classField == "TFORM") {
    form->SetCaption(texts.Caption);
    return true;
  }
  TComponent* component = FindComponentExact(*form, componentName);
  if (component && ApplyToComponent(*component, classField, texts)) return true;
  if (Untranslated && Untranslated->Count++ == 0) {
    Untranslated->FormName = formName;
    Untranslated->ComponentName = componentName;
  }
  return false;
}

std::function<void()> OnSpeakLinesApplied;

namespace {

// In the language just applied.
void ReportUntranslated(const TUntranslatedLines& Untranslated) {
  if (Untranslated.Count == 0) return;
  std::string text =
      Format(LocalText(kSpeakUntranslatedText), Untranslated.FormName, Untranslated.ComponentName);
  if (Untranslated.Count > 1)
    text =
        TwoLineMessage(text, Format(LocalText(kSpeakUntranslatedMoreText), Untranslated.Count - 1));
  ShowMessage(text);
}

}  // namespace

void ApplySpeakLines() {
  if (!frmSpeak) return;
  // The box at the end runs an event loop, which could load another file: walk a copy.
  TStringList lines;
  lines.Assign(*frmSpeak->SpeakLines);
  TUntranslatedLines untranslated;
  for (int n = 0; n < lines.Count(); ++n) ApplySpeakLine(lines.Get(n), &untranslated);
  if (frmPrgMsg) frmPrgMsg->PublishLocalTexts();
  if (OnSpeakLinesApplied) OnSpeakLinesApplied();
  ReportUntranslated(untranslated);
}

std::uint8_t ReadSpeakLines(TStringList& Lines) {
  std::uint8_t result = kSpeakUnusable;
  if (Lines.Count() > 0 && Field(Lines.Get(0), 0) == kSpeakHeaderMarker) {
    const std::string version = Field(Lines.Get(0), 4);
    result = SpeakVersionPart(version) == SpeakVersionPart(kLanguageVersion) ? kSpeakLoaded
                                                                             : kSpeakWrongVersion;
  }
  if (Lines.Count() > 0) Lines.Delete(0);
  return result;
}

void StoreSpeakLines(const TStringList& Lines, TStringList& Stored) {
  // Added one by one, each line would be inserted into the sorted list at its place:
  // quadratic in the file's length. Equal lines end up in reverse order that way (each
  // goes before those already there); reversed and then sorted stably once, they do too.
  Stored.SetSorted(false);
  Stored.BeginUpdate();
  Stored.Clear();
  for (int n = Lines.Count() - 1; n >= 0; --n) Stored.Add(Lines.GetRef(n));
  Stored.SetSorted(true);
  Stored.EndUpdate();
}

namespace {

// A language file is a few hundred lines of some tens of kilobytes: one of any size must
// not stall the program, nor cost its size in memory each time the languages are listed.
constexpr size_t kMaxSpeakFileBytes = 2 * 1024 * 1024;
// Listing a language needs its header only: the preamble and the header line fit in this.
constexpr size_t kSpeakHeadBytes = 4096;

// The deciphered lines of Content (the whole file, or its head when Head), preamble taken
// off. A head cut inside its header line gives no lines: that header cannot be judged.
void DecipherSpeakLines(const std::string& Content, bool Head, TStringList& Lines) {
  const std::string plain = DecodeString(Content, kLanguageKey);
  std::string text =
      plain.size() > kSpeakPreambleLength ? plain.substr(kSpeakPreambleLength) : std::string();
  if (Head && Content.size() >= kSpeakHeadBytes) {
    const size_t end = text.find('\n');
    text = end == std::string::npos ? std::string() : text.substr(0, end + 1);
  }
  Lines.SetText(text);
}

}  // namespace

std::string SpeakFileInUse() {
  return frmSpeak ? frmSpeak->SpeakFileName : std::string();
}

std::uint8_t LoadSpeakFile(const std::string& FileName, bool CheckOnly,
                           std::vector<std::string>* Errors) {
  const auto report = [Errors](const std::string& Text) {
    if (Errors) {
      Errors->push_back(Text);
    } else {
      MyShowError(Text);
    }
  };
  const auto reportDestroyed = [&] {
    report(
        TwoLineMessage(Format(ShownText(LocalText(kSpeakDestroyedText)), ShownFileName(FileName)),
                       Format(ShownText(LocalText(kSpeakDeleteText)), ShownFileName(SpkDir))));
  };
  const std::string path = SpkDir + FileName;
  std::uint8_t result = kSpeakUnusable;
  if (FileExists(path)) {
    if (UpperCase(ExtractFileExt(path)) != ".SPK") return kSpeakUnusable;
    std::string why;
    const std::optional<std::string> content =
        CheckOnly ? ReadFileHead(path, kSpeakHeadBytes, kMaxSpeakFileBytes, &why)
                  : ReadSmallFile(path, kMaxSpeakFileBytes, &why);
    if (!content) {
      // Too large to be a language: not offered, and said so when it was chosen.
      if (!CheckOnly) {
        report(Format(ShownText(LocalText(kSpeakNotReadText)), ShownFileName(FileName),
                      ShownText(why)));
      }
      return kSpeakUnusable;
    }
    TStringList lines;
    bool reported = false;
    try {
      DecipherSpeakLines(*content, CheckOnly, lines);
    } catch (const Exception&) {
      reportDestroyed();
      reported = true;
      lines.SetText(*content);
    }
    result = ReadSpeakLines(lines);
    // A file to load that deciphers to no header is as destroyed as one that cannot be
    // read: said so, before another language takes its place without a word. Checking
    // (the settings' list of languages) passes it over quietly.
    if (result == kSpeakUnusable && !reported && !CheckOnly) reportDestroyed();
    if (result == kSpeakWrongVersion) {
      report(TwoLineMessage(Format(ShownText(LocalText(kSpeakWrongVersionText)),
                                   ShownFileName(FileName), kProductName, kLanguageVersion),
                            Format(ShownText(LocalText(kSpeakDeleteText)), ShownFileName(SpkDir))));
    }
    if (CheckOnly || result != kSpeakLoaded) return result;
    if (frmSpeak) {
      StoreSpeakLines(lines, *frmSpeak->SpeakLines);
      frmSpeak->SpeakFileName = FileName;
    }
    ApplySpeakLines();
  }
  if (Application) {
    Application->HelpFile = PrgDir() + "Velmora.chm";
    for (int n = 0; n < 3; ++n) Application->ProcessMessages();
  }
  return result;
}
