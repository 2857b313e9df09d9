#include "app/monitor/monitor_styles.h"

TMonitorStylePair MonitorStylePair(int Port) {
  switch (Port) {
    case -1:
      return {msIgHead, msIgData};
    case 1:
      return {msP1Head, msP1Data};
    case 2:
      return {msP2Head, msP2Data};
    default:
      return {msNormalText, msNormalText};
  }
}

TMonitorStyleNo MonitorStyleOf(TLinkTraffic Traffic) {
  switch (Traffic) {
    case TLinkTraffic::TncText:
      return msRs232;
    case TLinkTraffic::InternetData:
      return msIgData;
    case TLinkTraffic::TxHeaderPort1:
      return msP1Head;
    case TLinkTraffic::TxDataPort1:
      return msP1Data;
    case TLinkTraffic::TxHeaderPort2:
      return msP2Head;
    case TLinkTraffic::TxDataPort2:
      return msP2Data;
  }
  return msNormalText;
}
