// The messaging window: every APRS message the dispatcher hands over is shown in three
// lists (all messages, those to and from the own calls, group messages to ALL, QST and
// CQ); numbered messages to an own call are acknowledged at once; own messages go out
// numbered 0..9999 and are sent again about every minute until acknowledged, at most
// five times. The message counter is kept with the settings.
//
//   ":N0CALL   :Hello{12"   a message to N0CALL, number 12
//   ":DL1ABC   :ack12"      its acknowledgement, from N0CALL to DL1ABC
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/messages/ack_log.h"
#include "app/messages/msg_lists.h"
#include "app/receive/aprs_info.h"
#include "app/transmit/beacons.h"
#include "controls/my_button.h"
#include "core/kiss_link.h"
#include "lists/ex_page_control.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/edit.h"
#include "platform/gui/standard/memo.h"
#include "platform/sys/date_time.h"
#include "platform/sys/timer.h"
#include "platform/text/string_list.h"
#include "richtext/view/rich_doc.h"

class TRDStyle;

// Fields of a PendingMsgs record.
enum TPendingField {
  pfNumber = 0,
  pfLastSend = 1,
  pfCount = 2,
  pfPort = 3,
  pfCall = 4,
  pfPath = 5,
  pfAddressee = 6,
  pfText = 7,
};

// Texts of the two refusals of the send button.
extern const char* const kMsgSameCallText;  // "Absender gleich Empänger, ..."
extern const char* const kMsgNoTextText;    // "Keine Nachricht eingegeben, ..."

class TfrmAprsMsg : public TForm {
 public:
  explicit TfrmAprsMsg(TComponent* AOwner);
  ~TfrmAprsMsg() override;

  TExPageControl* apctrlMain;
  TExTabSheet* atabMonitor;
  TExTabSheet* atabMyMSg;
  TExTabSheet* atabGroup;
  TRichDoc* rdMonitor;
  TRichDoc* rdMyMsg;
  TRichDoc* rdGroupMsg;
  // The three lists with their entries' index: every entry goes in through these.
  std::unique_ptr<TMsgList> MonitorMsgs;
  std::unique_ptr<TMsgList> MyMsgs;
  std::unique_ptr<TMsgList> GroupMsgs;
  TEdit* edtMsgAdr;
  TEdit* edtMsgPath;
  TEdit* edtMsgTxt;
  TMyButton* mbtnTxMsg;
  TMyButton* mbtnTxP1;
  TMyButton* mbtnTxP2;
  TMyButton* mbtnClr;
  TMyButton* MyButton2;
  TMemo* memTx;   // hidden: PendingMsgs
  TMemo* memAck;  // hidden: AckLog, brought up to date by the retry timer
  TTimer* timMsgTx;
  // The style sheet of the three message viewers.
  std::unique_ptr<TRDStyle> rdsMsg;

  // The next own message number, 0..9999.
  int MsgNr = 0;
  // Own messages awaiting acknowledgement, one record each (TPendingField).
  TStringList PendingMsgs;
  // Acknowledgements sent in the last five seconds.
  TAckLog AckLog;
  std::uint8_t RetryBusy = 0;

  // Wiring into the program, each used only when set.
  // The own calls and paths (the settings window); none, no call is own.
  const TOwnCalls* OwnCalls = nullptr;
  TKissLink* Kiss = &KissLink;
  // The common internet sender (TBeacons::SendToIgate).
  TBeacons* Internet = nullptr;
  // The clock of the send times and the acknowledgement window; Now when unset.
  std::function<TDateTime()> Clock;
  // The monotonic clock the retries are timed by; GetTickCount when unset.
  std::function<std::uint64_t()> Ticks;
  // True while the packet log player hands over a recorded packet: it is shown, but
  // never answered.
  std::function<bool()> IsReplaying;
  // The map window's message lamp bmpmMsg: blinking on or off.
  std::function<void(bool On)> MsgLamp;

  void HandleRxMessage(const TAprsInfo& Info);
  // Starts a message to Call from another window: the addressee is set, the text
  // cleared, and the window shown when hidden.
  void OnMessageTo(const std::string& Call);
  void SendAck(const std::string& Src, const std::string& Addressee, const std::string& Number,
               int Port);
  void ShowSentMsg(const std::string& Src, const std::string& Dst, const std::string& Text,
                   int TxCount, const std::string& Number);

  void FormShow(TComponent* Sender);
  void apctrlMainChange(TComponent* Sender);
  void edtMsgTxtKeyPress(TComponent* Sender, char& Key);
  void mbtnTxMsgClick(TComponent* Sender);
  void mbtnTxP1Click(TComponent* Sender);
  void mbtnClrClick(TComponent* Sender);
  void MyButton2Click(TComponent* Sender);
  void timMsgTxTimer(TComponent* Sender);

  std::string ClassName() const override { return "TfrmAprsMsg"; }

 private:
  std::string OwnCall(int Port) const { return OwnCalls ? OwnCalls->Call(Port) : std::string(); }
  std::string OwnPath(int Port) const { return OwnCalls ? OwnCalls->Path(Port) : std::string(); }
  TDateTime NowTime() const;
  std::uint64_t NowTicks() const;
  // Removes the pending record at Index with its send time.
  void DropPending(int Index);
  std::string NowStamp() const;
  void SendMessage(int Port, const std::string& Call, const std::string& Path,
                   const std::string& Addressee, const std::string& Text, int Number);
  void MarkAcknowledged(const std::string& OwnCall, const std::string& From,
                        const std::string& Answered);
  void RefreshPendingMemo();
  bool IsOwnCall(const std::string& Call) const;

  // The ack log changed since memAck last showed it.
  bool ack_memo_stale_ = false;
  // When each record of PendingMsgs was last sent, in its order, on the monotonic clock:
  // the retries keep their minute whatever the wall clock does meanwhile.
  std::vector<std::uint64_t> last_send_ticks_;
};

extern TfrmAprsMsg* frmAprsMsg;
