#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <stdexcept>

#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/message_box.h"
#include "platform/sys/application.h"
#include "platform/sys/date_time.h"

TEST(Dispatch, PassesAnEscapingExceptionToTheApplicationHandler) {
  std::string seen;
  Application->OnException = [&](const std::exception& e) { seen = e.what(); };
  Dispatch([] { throw std::runtime_error("handler failed"); });
  Application->OnException = nullptr;
  EXPECT_EQ(seen, "handler failed");
}

TEST(Application, ExeFolderEndsWithSlashAndHoldsTheExecutable) {
  const std::string folder = Application->ExeFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(Application->ExeName().rfind(folder, 0), 0u);
}

// The program's language reaches what the platform shows itself: the standard dialogs'
// buttons and the day and month names.
TEST(Application, TheLanguageReachesTheStandardDialogsAndTheDateNames) {
  const TDateTime monday = EncodeDate(2007, 6, 4);
  Application->SetLanguage("de");
  EXPECT_EQ(FormatDateTime("dddd dd mmmm yyyy", monday), "Montag 04 Juni 2007");
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "Abbrechen");
  Application->SetLanguage("en");
  EXPECT_EQ(FormatDateTime("dddd dd mmmm", monday), "Monday 04 June");
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "Cancel");
  Application->SetLanguage("");
}

// A logout sends SIGTERM, or quits the application through the session: either asks the
// program to end, from the event loop, never inside the signal. Signals that come
// together are one request, and the loop's end after it is none more.
TEST(Application, EndSignalsAndTheSessionsEndAskTheProgramToEnd) {
  int requests = 0;
  Application->SetEndRequestHandler([&] { ++requests; });
  QTimer::singleShot(0, [] { QCoreApplication::quit(); });
  Application->Run();
  EXPECT_EQ(requests, 1);
  EXPECT_TRUE(Application->Ending());
  Application->ClearTerminated();
  EXPECT_FALSE(Application->Ending());

  std::raise(SIGTERM);
  std::raise(SIGHUP);
  std::raise(SIGINT);
  EXPECT_EQ(requests, 1);
  Application->SetEndRequestHandler([&] {
    ++requests;
    Application->Terminate();
  });
  Application->Run();
  Application->SetEndRequestHandler(nullptr);
  EXPECT_EQ(requests, 2);
}

// A signal while a modal window waits closes it; from then on no modal window opens and
// no box waits: the box's text goes to the log.
TEST(Application, NothingWaitsForAnAnswerOnceTheSystemEndsTheProgram) {
  Application->SetEndRequestHandler([] { Application->Terminate(); });
  TForm form(nullptr);
  bool shown = false;
  QTimer::singleShot(0, [&] {
    shown = form.Visible();
    std::raise(SIGTERM);
  });
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_TRUE(shown);
  EXPECT_FALSE(form.Visible());
  ASSERT_TRUE(Application->Ending());
  bool shown_again = false;
  QTimer::singleShot(0, [&] { shown_again = form.Visible(); });
  EXPECT_EQ(form.ShowModal(), mrCancel);
  Application->ProcessMessages();
  EXPECT_FALSE(shown_again);

  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBox("The device on COM1 is gone\r\nline two", "Error", MB_OK | MB_ICONERROR),
            IDCANCEL);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Velmora: Error: The device on COM1 is gone  line two\n");
  Application->SetEndRequestHandler(nullptr);
  Application->ClearTerminated();
}
