#include "app/messages/frm_aprs_msg.h"

#include <cctype>
#include <cstddef>
#include <cstdint>

#include "app/language/frm_prg_msg.h"
#include "app/messages/msg_lists.h"
#include "app/monitor/station_styles.h"
#include "app/shelf/form_fit.h"
#include "app/shelf/typed_chars.h"
#include "core/csv_ctrl.h"
#include "core/kiss_link.h"
#include "core/my_tools.h"
#include "platform/gui/controls/new_control.h"
#include "platform/gui/standard/message_box.h"
#include "platform/text/cp1252.h"
#include "platform/text/format.h"
#include "platform/text/sysutils.h"
#include "richtext/styles/rd_style.h"

const char* const kMsgSameCallText = "Absender gleich Emp\xE4nger, Nachricht nicht gesendet!";
const char* const kMsgNoTextText = "Keine Nachricht eingegeben, Nachricht nicht gesendet!";

TfrmAprsMsg* frmAprsMsg = nullptr;

namespace {

constexpr int kMaxMsgNr = 9999;
constexpr int kMaxSends = 5;
// A message id is one to five letters or digits; the acknowledgement repeats it whole.
constexpr size_t kMaxMsgIdLength = 5;
constexpr unsigned kRetryIntervalMs = 5000;
// A message is sent again when its last send is more than a minute old.
constexpr std::uint64_t kRetryAgeMs = 60000;
constexpr char kEnter = '\r';

// Index of the first character below a blank, npos when there is none.
size_t FirstControl(const std::string& S) {
  for (size_t i = 0; i < S.size(); ++i) {
    if (static_cast<unsigned char>(S[i]) < 0x20) return i;
  }
  return std::string::npos;
}

// The message id in Text: one to five letters or digits (a reply-ack id "MM}AA" or "MM}"
// keeps its one brace after the id: its sender reads our acknowledgement with it; braces
// alone are no id) and nothing after them but
// blanks, up to the first control character (a line end ends the message: what follows
// it is no part of the id, nor may it go out in our answer). Empty when Text is none: a
// longer or broken id is no id at all; answered cut or bare, it would acknowledge a
// message nobody sent, and the sender would retry.
std::string MessageId(const std::string& Text) {
  const std::string id = TrimRight(Text.substr(0, FirstControl(Text)));
  if (id.empty() || id.size() > kMaxMsgIdLength) return {};
  const size_t brace = id.find('}');
  if (brace == 0 || (brace != std::string::npos && id.find('}', brace + 1) != std::string::npos))
    return {};
  for (char c : id) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '}') return {};
  }
  return id;
}

// An acknowledgement or rejection is "ack" or "rej" (any case) followed by the id it
// answers and nothing else; Answered receives that id. Anything longer is a message.
bool IsAnswer(const std::string& Text, std::string& Answered) {
  const std::string kind = UpperCase(Text.substr(0, 3));
  if (kind != "ACK" && kind != "REJ") return false;
  Answered = MessageId(Text.substr(3));
  return !Answered.empty();
}

std::string Field(const std::string& Record, int Index) {
  std::string value;
  CsvGetField(Index, Record, value);
  return value;
}

std::string Escaped(const std::string& S) {
  std::string escaped;
  CsvEscape(S, escaped);
  return escaped;
}

std::string Unescaped(const std::string& S) {
  std::string plain;
  try {
    CsvUnescape(S, plain);
  } catch (const EConvertError&) {
    // Only our own records are read back here; a broken one gives an empty field.
  }
  return plain;
}

bool IsGroupAddressee(const std::string& Addressee) {
  const std::string upper = UpperCase(Addressee);
  return upper == "ALL" || upper == "QST" || upper == "CQ";
}

}  // namespace

TfrmAprsMsg::TfrmAprsMsg(TComponent* AOwner) : TForm(AOwner), rdsMsg(std::make_unique<TRDStyle>()) {
  Name = "frmAprsMsg";
  SetCaption("Messages");
  SetFormStyle(fsStayOnTop);
  MakeMessageStyles(*rdsMsg);

  apctrlMain = NewControl<TExPageControl>(this, this, "apctrlMain", 0, 0, 560, 270);
  apctrlMain->SetTabPosition(tpBottom);
  apctrlMain->SetTabHeight(24);
  TTabMargin margins;
  margins.SetLeftMargin(10);
  margins.SetTopMargin(2);
  apctrlMain->SetTabMargin(&margins);
  apctrlMain->SetTabOverlap(0);
  auto sheet = [this](const char* name, const char* caption) {
    auto* tab = NewControl<TExTabSheet>(this, apctrlMain, name, 0, 0, 560, 270);
    tab->SetCaption(caption);
    tab->SetPageControl(apctrlMain);
    return tab;
  };
  atabMonitor = sheet("atabMonitor", "Monitor");
  atabMyMSg = sheet("atabMyMSg", "My Message");
  atabGroup = sheet("atabGroup", "Message Group");
  auto viewer = [this](const char* name, TExTabSheet* tab) {
    auto* rd = NewControl<TRichDoc>(this, tab, name, 0, 0, 560, 270);
    rd->SetAlign(alClient);
    SetUpMessageViewer(*rd, *rdsMsg);
    return rd;
  };
  rdMonitor = viewer("rdMonitor", atabMonitor);
  rdMyMsg = viewer("rdMyMsg", atabMyMSg);
  rdGroupMsg = viewer("rdGroupMsg", atabGroup);
  MonitorMsgs = std::make_unique<TMsgList>(*rdMonitor);
  MyMsgs = std::make_unique<TMsgList>(*rdMyMsg);
  GroupMsgs = std::make_unique<TMsgList>(*rdGroupMsg);
  apctrlMain->SetActivePage(atabMonitor);
  apctrlMain->OnChange = [this](TComponent* Sender) { apctrlMainChange(Sender); };

  edtMsgAdr = NewControl<TEdit>(this, this, "edtMsgAdr", 8, 278, 90, 21);
  edtMsgAdr->SetMaxLength(9);
  TakeAddressText(*edtMsgAdr, kCallsignChars);
  edtMsgPath = NewControl<TEdit>(this, this, "edtMsgPath", 104, 278, 200, 21);
  edtMsgPath->SetMaxLength(67);
  TakeAddressText(*edtMsgPath, kPathChars);
  edtMsgTxt = NewControl<TEdit>(this, this, "edtMsgTxt", 8, 304, 460, 21);
  // A message's room on the air is 67 bytes; a letter beyond the code page takes two.
  edtMsgTxt->SetMaxSentBytes(67);
  edtMsgTxt->OnKeyPress = [this](TComponent* Sender, char& Key) { edtMsgTxtKeyPress(Sender, Key); };

  mbtnTxMsg = NewControl<TMyButton>(this, this, "mbtnTxMsg", 476, 304, 76, 21);
  mbtnTxMsg->SetCaption("TX");
  mbtnTxMsg->OnClick = [this](TComponent* Sender) { mbtnTxMsgClick(Sender); };
  mbtnTxP1 = NewControl<TMyButton>(this, this, "mbtnTxP1", 312, 278, 50, 21);
  mbtnTxP1->SetCaption("P1");
  mbtnTxP1->SetDown(true);
  mbtnTxP2 = NewControl<TMyButton>(this, this, "mbtnTxP2", 366, 278, 50, 21);
  mbtnTxP2->SetCaption("P2");
  for (TMyButton* port : {mbtnTxP1, mbtnTxP2})
    port->OnClick = [this](TComponent* Sender) { mbtnTxP1Click(Sender); };
  mbtnClr = NewControl<TMyButton>(this, this, "mbtnClr", 8, 332, 76, 21);
  mbtnClr->SetCaption("CLR");
  mbtnClr->OnClick = [this](TComponent* Sender) { mbtnClrClick(Sender); };
  MyButton2 = NewControl<TMyButton>(this, this, "MyButton2", 476, 332, 76, 21);
  MyButton2->SetCaption("Close");
  MyButton2->OnClick = [this](TComponent* Sender) { MyButton2Click(Sender); };

  memTx = NewControl<TMemo>(this, this, "memTx", 0, 0, 10, 10);
  memTx->SetVisible(false);
  memAck = NewControl<TMemo>(this, this, "memAck", 0, 0, 10, 10);
  memAck->SetVisible(false);

  RetryBusy = 0;
  timMsgTx = new TTimer(this);
  timMsgTx->Name = "timMsgTx";
  timMsgTx->SetInterval(kRetryIntervalMs);
  timMsgTx->OnTimer = [this](TComponent* Sender) { timMsgTxTimer(Sender); };
  timMsgTx->SetEnabled(true);

  OnShow = [this](TComponent* Sender) { FormShow(Sender); };
  // Sized from the start, so that it can be placed before it is first shown.
  FitClientToControls(*this);
  frmAprsMsg = this;
  DoCreate();
}

TfrmAprsMsg::~TfrmAprsMsg() {
  if (frmAprsMsg == this) frmAprsMsg = nullptr;
  // The lists outlive their style sheet, a member of this window.
  for (TRichDoc* viewer : {rdMonitor, rdMyMsg, rdGroupMsg}) viewer->SetStyle(nullptr);
}

TDateTime TfrmAprsMsg::NowTime() const {
  return Clock ? Clock() : Now();
}

std::uint64_t TfrmAprsMsg::NowTicks() const {
  return Ticks ? Ticks() : GetTickCount();
}

void TfrmAprsMsg::DropPending(int Index) {
  PendingMsgs.Delete(Index);
  last_send_ticks_.erase(last_send_ticks_.begin() + static_cast<std::ptrdiff_t>(Index));
}

std::string TfrmAprsMsg::NowStamp() const {
  return FormatDateTime("yymmddhhnnss", NowTime());
}

void TfrmAprsMsg::RefreshPendingMemo() {
  memTx->Lines().Assign(PendingMsgs);
}

bool TfrmAprsMsg::IsOwnCall(const std::string& Call) const {
  const std::string call = Trim(Call);
  return !call.empty() && (SameText(call, Trim(OwnCall(0))) || SameText(call, Trim(OwnCall(1))));
}

// --- receiving ----------------------------------------------------------------------------

void TfrmAprsMsg::HandleRxMessage(const TAprsInfo& Info) {
  const std::string& data = Info.Data;
  // ':' + nine addressee characters + ':' at least; anything shorter is no message.
  if (data.size() < 11 || data[0] != ':' || data[10] != ':') return;
  const std::string addressee = Trim(data.substr(1, 9));
  const std::string call_p1 = Trim(OwnCall(0));
  const std::string call_p2 = Trim(OwnCall(1));
  // An own call that is not set matches nobody.
  const bool own = !addressee.empty() && (addressee == call_p1 || addressee == call_p2);
  // A packet from a played log is shown, but it answers nothing and settles nothing of
  // today's messages.
  const bool replayed = IsReplaying && IsReplaying();

  // A message in our own name was not sent by us on this road: answering it would have
  // us acknowledge ourselves on the radio and the internet.
  const bool answerable = own && !replayed && !IsOwnCall(Info.SrcCall);

  std::string text = data.substr(11);
  std::string number;
  const size_t brace = data.find('{', 11);
  const std::string id =
      brace == std::string::npos ? std::string() : MessageId(data.substr(brace + 1));
  if (!id.empty()) {
    text = data.substr(11, brace - 11);
    number = "{" + id;
    if (answerable) SendAck(Info.SrcCall, addressee, number, Info.Port);
  }
  const std::string tag = Info.HeardVia.empty() ? Trim(Info.SrcCall) : Info.HeardVia;

  // A text that carries its own id is a message, whatever its first word.
  std::string answered;
  if (number.empty() && IsAnswer(text, answered)) {
    if (answerable) MarkAcknowledged(addressee, Trim(Info.SrcCall), answered);
    return;
  }
  MonitorMsgs->AddOrUpdate(Info.SrcCall, addressee, true, -1, number, text, tag);
  if (own) {
    MyMsgs->AddOrUpdate(Info.SrcCall, addressee, true, -1, number, text, tag);
    if ((!Visible() || apctrlMain->ActivePage() != atabMyMSg) && MsgLamp) MsgLamp(true);
  }
  if (IsGroupAddressee(addressee))
    GroupMsgs->AddOrUpdate(Info.SrcCall, addressee, true, -1, number, text, tag);
}

// A rejection closes the entry like an acknowledgement: either way the station answered.
void TfrmAprsMsg::MarkAcknowledged(const std::string& OwnCall, const std::string& From,
                                   const std::string& Answered) {
  for (TMsgList* list : {MonitorMsgs.get(), MyMsgs.get()}) {
    const int item = list->FindAckedLine(OwnCall, From, "{" + Answered);
    if (item >= 0) list->SetState(item, mpsMsgAck);
  }
  // Only the message to the station that answered is settled: the number alone could
  // belong to a message to someone else.
  for (int i = PendingMsgs.Count() - 1; i >= 0; --i) {
    const std::string& record = PendingMsgs[i];
    if (Field(record, pfNumber) == Answered &&
        SameText(Trim(Unescaped(Field(record, pfAddressee))), From))
      DropPending(i);
  }
  RefreshPendingMemo();
}

void TfrmAprsMsg::SendAck(const std::string& Src, const std::string& Addressee,
                          const std::string& Number, int Port) {
  // A sender whose call holds a control character (an internet line may carry a CR or
  // NUL) is no station we can answer without sending that character on.
  if (FirstControl(Src) != std::string::npos) return;
  const std::string key = IntToStr(Port) + ":" + Trim(Src) + ">" + Trim(Addressee) + ":" + Number;
  const TDateTime now = NowTime();
  if (AckLog.AnsweredLately(key, now)) return;
  const std::string payload = ":" + PadAddressee(Src) + ":" +
                              CleanMsgText("ack" + (Number.empty() ? "" : Number.substr(1)));
  // The acknowledgement comes from the call the message was addressed to, on the port
  // it came in on.
  const std::string path_p1 = OwnPath(0);
  if (Port == 2) {
    if (Kiss) Kiss->SendKissFrame("1:" + Addressee, OwnPath(1), payload);
  } else if (Port != -1) {
    if (Kiss) Kiss->SendKissFrame("0:" + Addressee, path_p1, payload);
  }
  if (Internet) Internet->SendToIgate(Addressee, path_p1, payload);
  AckLog.Add(key, now);
  // The hidden memo follows on the next retry tick: copied per answer, a storm of
  // messages would spend the window's time on a list nobody looks at.
  ack_memo_stale_ = true;
}

// --- sending ------------------------------------------------------------------------------

void TfrmAprsMsg::SendMessage(int Port, const std::string& Call, const std::string& Path,
                              const std::string& Addressee, const std::string& Text, int Number) {
  const std::string payload = ":" + PadAddressee(Addressee) + ":" + Text + "{" + IntToStr(Number);
  if (Kiss) Kiss->SendKissFrame(IntToStr(Port) + ":" + Call, Path, payload);
  if (Internet) Internet->SendToIgate(Call, Path, payload);
}

void TfrmAprsMsg::ShowSentMsg(const std::string& Src, const std::string& Dst,
                              const std::string& Text, int TxCount, const std::string& Number) {
  MonitorMsgs->AddOrUpdate(Src, Dst, false, TxCount, Number, Text, "*");
  MyMsgs->AddOrUpdate(Src, Dst, false, TxCount, Number, Text, "*");
}

void TfrmAprsMsg::OnMessageTo(const std::string& Call) {
  edtMsgAdr->SetText(Call);
  edtMsgTxt->SetText("");
  if (!Visible()) Show();
}

void TfrmAprsMsg::mbtnTxMsgClick(TComponent*) {
  const int port = mbtnTxP1->Down() ? 0 : 1;
  const std::string call = Trim(OwnCall(port));
  std::string path = Trim(edtMsgPath->Text());
  if (path.empty()) path = OwnPath(port);
  const std::string addressee = Trim(edtMsgAdr->Text());
  if (UpperCase(call) == UpperCase(addressee)) {
    ShowMessage(PrgMsg(&TfrmPrgMsg::lblErrMsgSameCall, kMsgSameCallText));
    edtMsgAdr->SetFocus();
    edtMsgAdr->SelectAll();
    return;
  }
  if (edtMsgTxt->TextW().empty()) {
    ShowMessage(PrgMsg(&TfrmPrgMsg::lblErrMsgNoText, kMsgNoTextText));
    edtMsgTxt->SetFocus();
    return;
  }
  // A message without addressee is no message: nothing is sent or listed, and the
  // cursor goes where the addressee is missing.
  if (addressee.empty()) {
    edtMsgAdr->SetFocus();
    return;
  }
  // Nor is one without sender (no own call set).
  if (call.empty()) return;
  if (MsgNr < 0 || MsgNr > kMaxMsgNr) MsgNr = 0;
  // The text goes out as typed, in UTF-8 when the code page cannot hold it.
  const std::string text = CleanMsgText(TextToSend(edtMsgTxt->TextW()));
  SendMessage(port, call, path, addressee, text, MsgNr);

  std::string record;
  for (const std::string& field : {IntToStr(MsgNr), NowStamp(), std::string("1"), IntToStr(port),
                                   Escaped(call), Escaped(path), Escaped(addressee), Escaped(text)})
    CsvAddField(field, record);
  PendingMsgs.Add(record);
  last_send_ticks_.push_back(NowTicks());
  RefreshPendingMemo();
  ShowSentMsg(call, addressee, text, 1, "{" + IntToStr(MsgNr));
  MsgNr = MsgNr >= kMaxMsgNr ? 0 : MsgNr + 1;
  edtMsgTxt->SetText("");
}

void TfrmAprsMsg::timMsgTxTimer(TComponent*) {
  if (ack_memo_stale_) {
    AckLog.ListTo(memAck->Lines(), NowTime());
    ack_memo_stale_ = false;
  }
  if (RetryBusy || PendingMsgs.Count() == 0) return;
  RetryBusy = 1;
  const std::uint64_t now = NowTicks();
  for (int i = 0; i < PendingMsgs.Count();) {
    std::string record = PendingMsgs[i];
    if (now - last_send_ticks_[static_cast<size_t>(i)] <= kRetryAgeMs) {
      ++i;
      continue;
    }
    const std::string number = Field(record, pfNumber);
    const std::string call = Unescaped(Field(record, pfCall));
    const std::string addressee = Unescaped(Field(record, pfAddressee));
    const std::string text = Unescaped(Field(record, pfText));
    const int count = StrToIntDef(Field(record, pfCount), kMaxSends) + 1;
    if (count > kMaxSends) {
      DropPending(i);
    } else {
      SendMessage(StrToIntDef(Field(record, pfPort), 0), call, Unescaped(Field(record, pfPath)),
                  addressee, text, StrToIntDef(number, 0));
      CsvSetField(pfCount, IntToStr(count), record);
      CsvSetField(pfLastSend, NowStamp(), record);
      PendingMsgs.Put(i, record);
      last_send_ticks_[static_cast<size_t>(i)] = now;
      ++i;
    }
    ShowSentMsg(call, addressee, text, count, "{" + number);
  }
  RefreshPendingMemo();
  RetryBusy = 0;
}

// --- other controls -----------------------------------------------------------------------

void TfrmAprsMsg::FormShow(TComponent* Sender) {
  apctrlMainChange(Sender);
  FitClientToControls(*this);
}

void TfrmAprsMsg::apctrlMainChange(TComponent*) {
  if (apctrlMain->ActivePage() == atabMyMSg && MsgLamp) MsgLamp(false);
}

void TfrmAprsMsg::edtMsgTxtKeyPress(TComponent* Sender, char& Key) {
  if (Key != kEnter) return;
  Key = 0;
  mbtnTxMsgClick(Sender);
}

void TfrmAprsMsg::mbtnTxP1Click(TComponent* Sender) {
  mbtnTxP1->SetDown(Sender == mbtnTxP1);
  mbtnTxP2->SetDown(Sender == mbtnTxP2);
}

void TfrmAprsMsg::mbtnClrClick(TComponent*) {
  TExTabSheet* page = apctrlMain->ActivePage();
  TMsgList& list = page == atabMyMSg ? *MyMsgs : page == atabGroup ? *GroupMsgs : *MonitorMsgs;
  list.Clear();
}

void TfrmAprsMsg::MyButton2Click(TComponent*) {
  Close();
}
