// The KISS link's views and port as tests want them: the answers are fields, and each
// report goes to the function set for it (nothing happens when none is set).
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "core/kiss_link.h"

class TKissLinkDouble : public TKissLinkViews, public TFrameWriter {
 public:
  std::function<void(const TReceivedPacket& Packet)> OnPacket;
  std::function<void(const std::string& Text, TLinkTraffic Traffic)> OnLogText;
  std::function<bool(std::span<const uint8_t> Bytes)> OnFrame;
  bool Playing = false;
  bool Debug = false;
  int Device = 0;
  std::string RawBytes;

  void AnalysePacket(const TReceivedPacket& Packet) override {
    if (OnPacket) OnPacket(Packet);
  }
  void AddLogText(const std::string& Text, TLinkTraffic Traffic) override {
    if (OnLogText) OnLogText(Text, Traffic);
  }
  bool IsPlayingBack() const override { return Playing; }
  bool IsDebugChecked() const override { return Debug; }
  std::string RawByteText() const override { return RawBytes; }
  void SetRawByteText(const std::string& Text) override { RawBytes = Text; }
  int DeviceIndex() const override { return Device; }
  bool WriteFrame(std::span<const uint8_t> Bytes) override { return OnFrame && OnFrame(Bytes); }
};
