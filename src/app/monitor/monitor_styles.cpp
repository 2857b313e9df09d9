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
