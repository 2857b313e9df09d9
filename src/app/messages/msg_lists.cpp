#include "app/messages/msg_lists.h"

#include "core/my_tools.h"
#include "platform/text/sysutils.h"
#include "richtext/rich_doc.h"

namespace {

constexpr size_t kAddresseeWidth = 9;

bool SameTrimmed(const std::string& Item, const std::string& Value) {
  return Trim(Item) == Trim(Value);
}

// Entries are appended whole, so every entry's text item stands at 10 + 12 n.
int FindEntry(TRichDoc& Viewer, const std::string& Src, const std::string& Dst,
              const std::string& Number, const std::string* Text) {
  const int last_text = Viewer.ItemCount() - (kMsgEntryItems - meiText);
  for (int i = last_text - (last_text - meiText) % kMsgEntryItems; i >= meiText;
       i -= kMsgEntryItems) {
    if (Text && Viewer.ReadItemText(i) != *Text) continue;
    if (SameTrimmed(Viewer.ReadItemText(i - meiText + meiSender), Src) &&
        SameTrimmed(Viewer.ReadItemText(i - meiText + meiAddressee), Dst) &&
        SameTrimmed(Viewer.ReadItemText(i - meiText + meiNumber), Number))
      return i;
  }
  return -1;
}

void ShowEnd(TRichDoc& Viewer) {
  Viewer.FormatDocument();
  Viewer.SetVScrollPos(Viewer.GetVScrollMax());
}

}  // namespace

std::string PadAddressee(const std::string& S) {
  std::string padded = Trim(S);
  if (padded.size() < kAddresseeWidth) padded.resize(kAddresseeWidth, ' ');
  return padded;
}

std::string CleanMsgText(const std::string& S) {
  std::string clean = S;
  for (char reserved : {'|', '~', '{'}) RemoveChar(reserved, clean);
  return clean;
}

int FindMsgLine(TRichDoc& Viewer, const std::string& Src, const std::string& Dst,
                const std::string& Number, const std::string& Text) {
  return FindEntry(Viewer, Src, Dst, Number, &Text);
}

int FindAckedLine(TRichDoc& Viewer, const std::string& Src, const std::string& Dst,
                  const std::string& Number) {
  return FindEntry(Viewer, Src, Dst, Number, nullptr);
}

void SetMsgState(TRichDoc& Viewer, int ItemNo, TMsgParaStyle State) {
  Viewer.GetItemInfo(ItemNo)->ParaNo = State;
  Viewer.FormatDocument();
}

void AddOrUpdateMsgLine(TRichDoc& Viewer, const std::string& Src, const std::string& Dst,
                        bool Received, int TxCount, const std::string& Number,
                        const std::string& Text, const std::string& Tag) {
  const int i = FindMsgLine(Viewer, Src, Dst, Number, Text);
  if (i < 0) {
    Viewer.AddTextParagraph(PadAddressee(Src), mtsNormal, mpsFrameHeader);
    Viewer.AddTextContinued(">", mtsNormal);
    Viewer.AddTextContinued(PadAddressee(Dst), mtsNormal);
    Viewer.AddTextContinued(":", mtsNormal);
    Viewer.AddTextContinued(" [", mtsNormal);
    Viewer.AddTextContinued(Tag, mtsNormal);
    Viewer.AddTextContinued(Received ? "] RX-CNT:" : "]", mtsNormal);
    Viewer.AddTextContinued(Received ? "1" : "", mtsNormal);
    Viewer.AddTextContinued(Received ? "" : " TX-CNT:", mtsNormal);
    Viewer.AddTextContinued(TxCount != -1 ? IntToStr(TxCount) : "", mtsNormal);
    Viewer.AddTextParagraph(Text, mtsHeading, mpsMsg);
    Viewer.AddTextContinued(Number, mtsNormal);
  } else {
    const int first = i - meiText;
    if (Received) {
      const int count = StrToIntDef(Trim(Viewer.ReadItemText(first + meiRxCount)), 0);
      Viewer.ReplaceItemText(first + meiRxCount, IntToStr(count + 1));
      Viewer.ReplaceItemText(first + meiRxLabel, "] RX-CNT:");
      const std::string old_tag = Viewer.ReadItemText(first + meiTag);
      // The tag grows unless it is this station alone (the whole texts compared).
      if (UpperCase(" " + old_tag + " ") != UpperCase(" " + Tag + " ")) {
        const std::string kept = Trim(old_tag);
        Viewer.ReplaceItemText(first + meiTag, kept.empty() ? Tag : kept + " " + Tag);
      }
    }
    if (TxCount != -1) {
      if (TxCount > 5) {
        SetMsgState(Viewer, i, mpsMsgNoAck);
      } else {
        Viewer.ReplaceItemText(first + meiTxCount, IntToStr(TxCount));
      }
    }
  }
  ShowEnd(Viewer);
}
