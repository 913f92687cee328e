#include "viewers/about_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <filesystem>

#include "support/temp_folder.h"

namespace dvx {
namespace {

// Runs the test with PATH holding only `folder`.
class ScopedPath {
  public:
    explicit ScopedPath(const std::filesystem::path& folder) : m_old(qgetenv("PATH")) {
        qputenv("PATH", QByteArray::fromStdString(folder.string()));
    }
    ~ScopedPath() { qputenv("PATH", m_old); }

  private:
    QByteArray m_old;
};

TEST(AboutWindow, ShowsTitleAndVersionAndCloses) {
    test::RecordingErrorReporter errors;
    AboutWindow window(errors);
    window.show();
    EXPECT_EQ(window.objectName(), "frmAbout");
    EXPECT_EQ(window.windowTitle(), "About Dorvexia");
    EXPECT_EQ(window.findChild<QLabel*>("lblTitle")->text(), "Dorvexia");
    EXPECT_EQ(window.findChild<QLabel*>("lblVersion")->text(), "Version 1.0.15");
    window.findChild<QPushButton*>("cmdOK")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(errors.messages.empty());
}

TEST(AboutWindow, StartsTheFirstSystemInformationProgramFound) {
    test::TempFolder folder;
    test::RecordingErrorReporter errors;
    AboutWindow window(errors);
    auto* sysInfo = window.findChild<QPushButton*>("cmdSysInfo");
    ASSERT_NE(sysInfo, nullptr);
    {
        ScopedPath path(folder.path());
        sysInfo->click();
    }
    EXPECT_EQ(errors.messages,
              std::vector<std::string>{"System Information Is Unavailable At This Time"});

    // gnome-system-monitor comes before kinfocenter.
    const auto started = folder.path() / "started";
    for (const char* name : {"kinfocenter", "gnome-system-monitor"}) {
        const auto script = folder.path() / name;
        test::writeFile(script,
                        "#!/bin/sh\necho " + std::string(name) + " > '" + started.string() + "'\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    {
        ScopedPath path(folder.path());
        sysInfo->click();
    }
    // The program runs detached: wait for its whole line.
    for (int i = 0; i < 300 && !test::fileText(started).ends_with('\n'); ++i) {
        QThread::msleep(10);
    }
    EXPECT_EQ(test::fileText(started), "gnome-system-monitor\n");
    EXPECT_EQ(errors.messages.size(), 1u);
}

}  // namespace
}  // namespace dvx
