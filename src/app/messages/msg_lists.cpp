#include "app/messages/msg_lists.h"

#include "core/my_tools.h"
#include "platform/text/sysutils.h"
#include "richtext/rich_doc.h"

namespace {

constexpr size_t kAddresseeWidth = 9;

// Entries are appended whole, so every entry's text item stands at 10 + 12 n. The texts
// are compared where they stand: the walk passes every entry.
int FindEntry(TRichDoc& Viewer, const std::string& Src, const std::string& Dst,
              const std::string& Number, const std::string* Text) {
  const TRichDocRDData& data = Viewer.RDData();
  const std::string src = Trim(Src), dst = Trim(Dst), number = Trim(Number);
  const int last_text = Viewer.ItemCount() - (kMsgEntryItems - meiText);
  for (int i = last_text - (last_text - meiText) % kMsgEntryItems; i >= meiText;
       i -= kMsgEntryItems) {
    if (Text && data.GetItemTextRaw(i) != *Text) continue;
    if (Trim(data.GetItemTextRaw(i - meiText + meiSender)) == src &&
        Trim(data.GetItemTextRaw(i - meiText + meiAddressee)) == dst &&
        Trim(data.GetItemTextRaw(i - meiText + meiNumber)) == number)
      return i;
  }
  return -1;
}

void ShowEnd(TRichDoc& Viewer) {
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
  Viewer.FormatChangedItems(ItemNo, ItemNo);
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
    Viewer.FormatTail();
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
        Viewer.GetItemInfo(i)->ParaNo = mpsMsgNoAck;
      } else {
        Viewer.ReplaceItemText(first + meiTxCount, IntToStr(TxCount));
      }
    }
    Viewer.FormatChangedItems(first, first + kMsgEntryItems - 1);
  }
  ShowEnd(Viewer);
}
