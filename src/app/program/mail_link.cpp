#include "app/program/mail_link.h"

#include "core/my_tools.h"
#include "platform/gui/standard/shell.h"
#include "platform/text/sysutils.h"

bool SendMailTo(const std::string& Name, const std::string& Address, const std::string& Subject,
                const std::string& Body) {
  std::string address = Trim(Address);
  const std::string name = Trim(Name);
  if (!name.empty()) UrlEncode("\"" + name + "\" <" + address + ">", address);
  std::string subject, body;
  UrlEncode(Trim(Subject), subject);
  UrlEncode(Trim(Body), body);
  if (Trim(Address).empty()) return false;
  std::string url = "mailto:" + address;
  if (!subject.empty()) url += "?subject=" + subject;
  if (!body.empty()) url += (subject.empty() ? "?body=" : "&body=") + body;
  return ShellOpen(url);
}
