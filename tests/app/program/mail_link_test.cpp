#include "app/program/mail_link.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/standard/shell.h"

TEST(MailLink, SendMailToBuildsTheMailtoLink) {
  std::vector<std::string> opened;
  SetShellOpenHandler([&](const std::string& url) {
    opened.push_back(url);
    return true;
  });
  EXPECT_TRUE(SendMailTo(" Max ", " dl1abc@example.org ", " Hi there ", " a&b "));
  EXPECT_TRUE(SendMailTo("", "dl1abc@example.org", "", "body"));
  EXPECT_TRUE(SendMailTo("", "dl1abc@example.org", "", ""));
  EXPECT_FALSE(SendMailTo("Max", "  ", "s", "b"));  // nothing to send to
  SetShellOpenHandler(nullptr);
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0],
            "mailto:%22Max%22%20%3Cdl1abc%40example%2Eorg%3E?subject=Hi%20there&body=a%26b");
  EXPECT_EQ(opened[1], "mailto:dl1abc@example.org?body=body");
  EXPECT_EQ(opened[2], "mailto:dl1abc@example.org");
}
