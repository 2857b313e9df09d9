#include "controls/my_inet_label.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/shell.h"
#include "platform/test_support/gui_test_support.h"

namespace {

class MyInetLabelTest : public ::testing::Test {
 protected:
  MyInetLabelTest() : form(nullptr) {
    SetShellOpenHandler([this](const std::string& url) {
      opened.push_back(url);
      return true;
    });
    form.SetBounds(50, 50, 300, 100);
    label = new TMyInetLabel(&form);
    label->SetParent(&form);
    label->SetBounds(10, 10, 120, 20);
    label->SetAutoSize(false);
    label->SetCaption("Mail");
    label->SetEmail("dl0abc@example.org");
    form.Show();
  }
  ~MyInetLabelTest() override {
    form.Hide();
    SetShellOpenHandler(nullptr);
  }
  void Click() {
    SimulateMouseMove(*label, 5, 5);
    SimulateMouseDown(*label, mbLeft, 5, 5);
    SimulateMouseUp(*label, mbLeft, 5, 5);
  }

  TForm form;
  TMyInetLabel* label;
  std::vector<std::string> opened;
};

TEST_F(MyInetLabelTest, MailLinkCarriesThePercentEncodedSubject) {
  label->Subject = "Hallo Velmora/\xE4";
  EXPECT_EQ(label->Link(), "mailto:dl0abc@example.org?Subject=Hallo%20Velmora%2F%E4");
  label->SubjectActive = false;
  EXPECT_EQ(label->Link(), "mailto:dl0abc@example.org");
  label->SubjectActive = true;
  label->Subject = "";
  EXPECT_EQ(label->Link(), "mailto:dl0abc@example.org");
}

TEST_F(MyInetLabelTest, ClickingTwiceOpensTheSameLinkTwice) {
  label->Subject = "Test";
  Click();
  Click();
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], "mailto:dl0abc@example.org?Subject=Test");
  EXPECT_EQ(opened[1], opened[0]);
}

TEST_F(MyInetLabelTest, ClearedAddressDeactivatesTheLabel) {
  label->SetEmail("");
  EXPECT_FALSE(label->Active());
  label->SetActive(true);
  EXPECT_FALSE(label->Active());
  Click();
  EXPECT_TRUE(opened.empty());
}

TEST_F(MyInetLabelTest, WebLinkWorksWithoutAMailAddress) {
  label->SetEmail("");
  label->SetInternet(itWeb);
  label->SetUrl("https://www.aprs.org/");
  EXPECT_TRUE(label->Active());
  label->SetActive(false);
  label->SetActive(true);
  EXPECT_TRUE(label->Active());
  Click();
  EXPECT_EQ(opened, (std::vector<std::string>{"https://www.aprs.org/"}));
}

TEST_F(MyInetLabelTest, ReleaseAfterLeavingTheLabelOpensNothing) {
  SimulateMouseMove(*label, 5, 5);
  SimulateMouseDown(*label, mbLeft, 5, 5);
  SimulateMouseMove(form, 250, 80, ssLeft);
  SimulateMouseUp(form, mbLeft, 250, 80);
  EXPECT_TRUE(opened.empty());
}

TEST_F(MyInetLabelTest, ColoursFollowHoverAndPressAndComeBack) {
  EXPECT_EQ(label->Font().Color(), clNavy);
  EXPECT_TRUE(label->Font().Style() & fsUnderline);
  EXPECT_EQ(label->Cursor(), crHandPoint);
  SimulateMouseMove(*label, 5, 5);
  EXPECT_EQ(label->Font().Color(), clRed);
  SimulateMouseDown(*label, mbLeft, 5, 5);
  EXPECT_EQ(label->Font().Color(), clYellow);
  SimulateMouseUp(*label, mbLeft, 5, 5);
  SimulateMouseMove(form, 250, 80);
  EXPECT_EQ(label->Font().Color(), clNavy);
  label->SetCursor(wcDefault);
  EXPECT_EQ(label->Cursor(), crArrow);
}

}  // namespace
