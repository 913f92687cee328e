#include "viewers/about_window.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "support/temp_folder.h"

namespace dvx {
namespace {

TEST(AboutWindow, SystemInfoShowsWhatTheProgramRunsOnAndWhere) {
    test::TempFolder root;
    test::RecordingErrorReporter errors;
    DeviceChoice devices{1, 0, 0, 7};
    Parameters parameters;
    AboutWindow window(errors, [&] {
        return SystemInfo{"6.4.2",
                          "virtual",
                          devicesInUse(devices, parameters, {"In A", "In B"}, {"Out A"}),
                          root.path(),
                          freeSpace(root.path()),
                          90061};
    });
    window.show();
    window.findChild<QPushButton*>("cmdSysInfo")->click();
    auto* info = window.findChild<QWidget*>("frmSystemInfo");
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->isVisible());
    auto* text = info->findChild<QPlainTextEdit*>("txtSystemInfo");
    const QStringList lines = text->toPlainText().split('\n');
    EXPECT_TRUE(lines.contains("Data root: " + QString::fromStdString(root.path().string())));
    EXPECT_TRUE(lines.contains("Net In: In B"));
    EXPECT_TRUE(lines.contains("Out 2: none (device 7)"));
    EXPECT_TRUE(lines.contains("Running for: 1 day 01:01:01"));
    EXPECT_TRUE(text->toPlainText().contains(
        QRegularExpression("Free space there: [0-9.]+ (bytes|KB|MB|GB|TB)\n")));
    EXPECT_TRUE(errors.messages.empty());

    // Without anything to gather, the button says so.
    AboutWindow bare(errors);
    bare.findChild<QPushButton*>("cmdSysInfo")->click();
    EXPECT_EQ(errors.messages,
              std::vector<std::string>{"System Information Is Unavailable At This Time"});
}

}  // namespace
}  // namespace dvx
