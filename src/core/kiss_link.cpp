#include "core/kiss_link.h"

#include "core/digi_path.h"
#include "core/rs232.h"
#include "core/tnc2_line.h"
#include "platform/text/sysutils.h"

namespace {

constexpr uint8_t kCarriageReturn = 13;

}  // namespace

TKissLink KissLink;

void TKissLink::KissRxBytes(std::span<const uint8_t> Data) {
  for (uint8_t byte : Data) {
    if (views_ && views_->IsPlayingBack()) continue;
    if (KissActive == 0 && byte == kCarriageReturn) {
      EndOfLine();
    } else if (KissActive != 0 && byte == kFend) {
      EndOfFrame();
    } else if (KissRxCount < KissRxBuffer.size()) {
      KissRxBuffer[KissRxCount++] = byte;
    } else {
      rx_overflow_ = true;
    }
  }
}

// The buffer is emptied before the program sees the line or frame, so a handler
// that feeds bytes again starts on a clean buffer.
void TKissLink::EndOfLine() {
  const bool complete = !rx_overflow_;
  std::string line(KissRxBuffer.begin(), KissRxBuffer.begin() + KissRxCount);
  ClearRxBuffer();
  if (complete && views_) views_->AddLogText(line + '\r', TLinkTraffic::TncText);
}

void TKissLink::EndOfFrame() {
  const bool complete = !rx_overflow_;
  const std::vector<uint8_t> frame(KissRxBuffer.begin(), KissRxBuffer.begin() + KissRxCount);
  ClearRxBuffer();
  if (!complete) return;
  TReceivedPacket packet;
  const std::string text = DecodeAx25Frame(frame, &packet.Parts);
  if (text.empty() && !frame.empty()) ++MalformedFrames;
  if (!text.empty() && views_) {
    const size_t line_end = text.find("\r\n");
    packet.Header = text.substr(0, line_end);
    if (line_end != std::string::npos) packet.Data = text.substr(line_end + 2);
    views_->AnalysePacket(packet);
  }
  // The debug list shows a decoded frame with its escapes undone.
  AppendRawBytes(text.empty() ? frame : KissUnescape(frame));
}

void TKissLink::AppendRawBytes(std::span<const uint8_t> Bytes) {
  if (!views_ || !views_->IsDebugChecked()) return;
  std::string text = views_->RawByteText();
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
  if (!text.empty() && text.back() != ',') text += ',';
  for (uint8_t b : Bytes) text += std::to_string(b) + ",";
  text += std::to_string(kFend) + ",";
  views_->SetRawByteText(text);
}

void TKissLink::ClearRxBuffer() {
  KissRxBuffer.fill(0);
  KissRxCount = 0;
  rx_overflow_ = false;
}

TKissSendResult TKissLink::SendKissFrame(std::string_view Source, std::string_view DestAndPath,
                                         std::string_view Data) {
  const std::string source = Trim(Source);
  // The same text as the internet copy (Tnc2Line): a line end from a settings text or a
  // packet would show as a line of its own wherever the frame is listed as text.
  const std::string data = Trim(LinePart(Data));
  const std::string path = NormalizeDigiPath(DestAndPath);
  TKissBuildResult frame = BuildKissFrame(source, path, data);
  if (frame.Error != TKissBuildError::None) return TKissSendResult::Refused;
  if (!writer_ || !writer_->WriteFrame(frame.Bytes)) return TKissSendResult::NotWritten;
  EchoTxFrame(source, path, data);
  return TKissSendResult::Sent;
}

void TKissLink::EchoTxFrame(std::string_view Source, std::string_view Path, std::string_view Data) {
  if (!views_ || views_->DeviceIndex() == 0) return;
  int port = 0;
  size_t colon = Source.find(':');
  if (colon != std::string_view::npos) {
    // Radio port n + 1 from the KISS port n; a prefix that is no port shows none.
    int kiss_port = 0;
    port = TryStrToInt(Source.substr(0, colon), kiss_port) && kiss_port >= 0 ? kiss_port + 1 : 0;
    Source = Source.substr(colon + 1);
  }
  std::string path(Path);
  for (char& c : path) {
    if (c == ',') c = ' ';
  }
  size_t blank = path.find(' ');
  std::string destination = Trim(path.substr(0, blank));
  std::string via = blank == std::string::npos ? std::string() : Trim(path.substr(blank + 1));
  if (destination.empty()) destination = "APRS";
  std::string header = "fm " + std::string(Source) + " to " + destination;
  if (!via.empty()) header += " via " + via;
  header += " ctl UIv pid F0";
  if (port != 0) header = std::to_string(port) + ":" + header;
  const bool second_port = port >= 2;
  views_->AddLogText("\r\n" + header,
                     second_port ? TLinkTraffic::TxHeaderPort2 : TLinkTraffic::TxHeaderPort1);
  views_->AddLogText("\r\n" + std::string(Data),
                     second_port ? TLinkTraffic::TxDataPort2 : TLinkTraffic::TxDataPort1);
}

void AttachKissLink(TRs232& Port, TKissLink& Link) {
  Link.SetWriter(&Port);
  // One read per hand-over: what is left waits for the next one, so that a TNC that
  // never pauses cannot keep the window from its other events.
  Port.OnReceive = [&Port, &Link] {
    uint8_t buffer[TRs232::kRs232MaxRead];
    unsigned read = 0;
    if (Port.Rs232BytesAvailable() > 0 && Port.ReadRs232(buffer, sizeof buffer, read) && read > 0)
      Link.KissRxBytes(std::span<const uint8_t>(buffer, read));
  };
}

void DetachKissLink(TRs232& Port, TKissLink& Link) {
  Port.OnReceive = nullptr;
  Link.SetWriter(nullptr);
}
