#include "app/receive/aprs_info.h"

#include <array>

namespace {

constexpr std::array<const char*, 22> kMicEMsgTexts = {
    "",         "Off Duty", "En Route", "In Service", "Returning", "Committed", "Special",
    "Priority", "",         "",         "",           "Custom-0",  "Custom-1",  "Custom-2",
    "Custom-3", "Custom-4", "Custom-5", "Custom-6",   "",          "",          "Emergency",
    ""};

constexpr std::array<const char*, 3> kWxReportStates = {
    "Raw Weather Report", "Wait For Positionless Weather Report", "Complete Weather Report"};

}  // namespace

std::string MicEMsgText(uint8_t Code) {
  return Code < kMicEMsgTexts.size() ? kMicEMsgTexts[Code] : "";
}

std::string WxReportStateText(int State) {
  return State >= 0 && State < static_cast<int>(kWxReportStates.size()) ? kWxReportStates[State]
                                                                        : "";
}
