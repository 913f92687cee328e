#include "viewers/help_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTextEdit>

#include "support/temp_folder.h"

namespace dvx {
namespace {

TEST(HelpWindow, WritesTheGuideWhenMissingAndKeepsTypedText) {
    test::TempFolder folder;
    const Paths paths(folder.path());
    std::filesystem::create_directories(paths.programFolder());
    const auto helpFile = paths.programFile("Help.html");
    test::RecordingErrorReporter errors;
    {
        HelpWindow window(paths, errors);
        window.show();
        EXPECT_EQ(window.windowTitle(), "Help");
        auto* text = window.findChild<QTextEdit*>("RichTextBox1");
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(text->toPlainText().contains("Arming the sensor"));
        // The guide names this installation's own folders.
        EXPECT_TRUE(text->toPlainText().contains(QString::fromStdString(paths.logsFolder())));
        EXPECT_NE(test::fileText(helpFile).find("Arming the sensor"), std::string::npos);

        text->moveCursor(QTextCursor::End);
        text->insertPlainText("\nStudio B: call the engineer on 555-0142 <first>");
        window.findChild<QAction*>("mnuExit")->trigger();
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_NE(test::fileText(helpFile).find("555-0142 &lt;first&gt;"), std::string::npos);

    QString shownBefore;
    {
        HelpWindow window(paths, errors);
        window.show();
        shownBefore = window.findChild<QTextEdit*>("RichTextBox1")->toPlainText();
        EXPECT_TRUE(shownBefore.contains("Studio B: call the engineer on 555-0142 <first>"));
        window.close();
    }
    {
        // Reading back what was written changes nothing, not even the line ends.
        HelpWindow window(paths, errors);
        EXPECT_EQ(window.findChild<QTextEdit*>("RichTextBox1")->toPlainText(), shownBefore);
    }
    EXPECT_TRUE(errors.messages.empty());
}

TEST(HelpWindow, AFailedSaveIsReportedAndTheWindowStillCloses) {
    test::TempFolder folder;
    const Paths paths(folder.path());  // no program folder: nothing can be written
    test::RecordingErrorReporter errors;
    HelpWindow window(paths, errors);
    window.show();
    ASSERT_EQ(errors.messages.size(), 1u);  // the guide could not be written
    auto* text = window.findChild<QTextEdit*>("RichTextBox1");
    EXPECT_TRUE(text->toPlainText().contains("Arming the sensor"));
    text->insertPlainText("note");
    window.close();
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(errors.messages.size(), 2u);
    EXPECT_NE(errors.messages[1].find("Help.html"), std::string::npos);
}

TEST(HelpWindow, AnUnreadableHelpFileIsNeverWrittenOver) {
    test::TempFolder folder;
    const Paths paths(folder.path());
    // A folder where the file should be: it exists but cannot be read as a file.
    std::filesystem::create_directories(paths.programFile("Help.html"));
    test::RecordingErrorReporter errors;
    HelpWindow window(paths, errors);
    window.show();
    EXPECT_EQ(errors.messages.size(), 1u);
    window.findChild<QTextEdit*>("RichTextBox1")->insertPlainText("note");
    window.close();
    EXPECT_EQ(errors.messages.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(paths.programFile("Help.html")));
}

}  // namespace
}  // namespace dvx
