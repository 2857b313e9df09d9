#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/sys/application.h"

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
