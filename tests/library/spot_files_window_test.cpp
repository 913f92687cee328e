#include "library/spot_files_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSlider>

#include "spot_files_rig.h"
#include "support/user_input.h"

namespace dvx {
namespace {

struct WindowRig : test::SpotFilesRig {
    std::unique_ptr<SpotFilesWindow> window;

    void open() {
        window = std::make_unique<SpotFilesWindow>(Spotfile, paths, parameters, devices(), errors);
        window->form().setFreeSpace([] { return std::optional<std::uintmax_t>(10'000'000); });
        window->show();
    }
    template <typename T>
    T* find(const char* name) {
        return test::findNamed<T>(window.get(), name);
    }
    QString text(const char* box) { return find<QLineEdit>(box)->text(); }
    // Typed by the user, key by key, over what the box holds.
    void type(const char* box, const QString& text) {
        find<QLineEdit>(box)->selectAll();
        test::typeKeys(find<QLineEdit>(box), text);
    }
};

TEST(SpotFilesWindow, TheCategoryMenuOffersTheCategoriesInUseAndFiltersTheList) {
    WindowRig rig;
    rig.addSpot(2, "Reserved", 10, kSpotReserved);
    rig.open();
    // "SpotCat" offers the categories in use.
    SpotRecord promo = rig.addSpot(5, "Promo");
    promo.SpotCat = 'b';
    rig.catalogue.write(5, promo);
    rig.addSpot(6, "Other");
    auto* categories = rig.find<QMenu>("SpotCategories");
    emit categories->aboutToShow();
    ASSERT_EQ(categories->actions().size(), 2);
    EXPECT_EQ(categories->actions()[1]->text(), "Category B");
    categories->actions()[1]->trigger();
    EXPECT_EQ(rig.find<QListWidget>("lstSoundFile")->count(), 1);
    rig.find<QAction>("SpotCap_All")->trigger();
    EXPECT_EQ(rig.find<QListWidget>("lstSoundFile")->count(), 2);

    rig.find<QAction>("mnuFileIndexView")->trigger();
    EXPECT_EQ(rig.errors.messages.back(),
              "The following SpotFiles do not exist but are not available for use:  2, ");
}

TEST(SpotFilesWindow, SelectingShowsTheFieldsWithoutWritingThemAndTypingWrites) {
    WindowRig rig;
    SpotRecord odd;
    odd.Status = kSpotActive;
    odd.Name = "the quick brown fox jumps";  // every field at its full width, in odd cases
    odd.Talent = "jOe";
    odd.Outcue = "and that is the way it is";
    odd.Length = "12345";
    odd.EOM = "12.50";
    odd.StartDate = "tfn     ";
    odd.StopDate = "12/25/20";
    odd.RecordDate = "03/02/26";
    odd.RotationRef = "9001";
    odd.SpotCat = 'q';
    rig.catalogue.write(6, odd);
    rig.open();
    const Bytes stored = rig.Spotfile.read(6);

    rig.find<QListWidget>("lstSoundFile")->setCurrentRow(0);
    EXPECT_EQ(rig.text("txtName"), "the quick brown fox jumps");
    EXPECT_EQ(rig.text("txtTalent"), "jOe");
    EXPECT_EQ(rig.text("txtLength"), "205:45");
    EXPECT_EQ(rig.text("txtEOM"), "00:12");
    EXPECT_EQ(rig.text("txtStartDate"), "tfn");
    EXPECT_EQ(rig.text("txtSpotCat"), "q");
    EXPECT_EQ(rig.find<QLabel>("lblNumber")->text(), "6");
    EXPECT_EQ(rig.Spotfile.read(6), stored);
    if (const char* folder = std::getenv("DORVEXIA_SCREENSHOT_DIR")) {
        rig.window->grab().save(QString(folder) + "/spot_files_window.png");
    }

    rig.type("txtName", "abc");
    rig.type("txtLength", "1:15");
    rig.type("txtStopDate", "12/25/2026");
    const SpotRecord record = rig.catalogue.read(6);
    EXPECT_EQ(record.Name, test::padded("ABC", 25));
    EXPECT_EQ(record.Length, "75   ");
    EXPECT_EQ(record.StopDate, "12/25/26");
    test::doubleClick(rig.find<QWidget>("txtName"));
    EXPECT_EQ(rig.catalogue.read(6).Name, std::string(25, ' '));
}

TEST(SpotFilesWindow, PrintsTheTitleAndOneLinePerSpotToPdf) {
    WindowRig rig;
    rig.open();
    const auto empty = rig.paths.dataRoot() / "empty.pdf";
    ASSERT_TRUE(rig.window->exportTo(QString::fromStdString(empty.string())));
    const QStringList emptyLines = test::pdfLines(empty);
    ASSERT_EQ(emptyLines.size(), 1);
    EXPECT_TRUE(emptyLines[0].trimmed().startsWith("SpotFiles ")) << emptyLines[0].toStdString();

    SpotRecord sale = rig.addSpot(9, "Spring Sale", 75);
    sale.Outcue = "see you there";
    rig.catalogue.write(9, sale);
    rig.addSpot(4, "Station ID", 610);
    rig.find<QAction>("mnuViewName")->trigger();
    const auto pdf = rig.paths.dataRoot() / "spots.pdf";
    ASSERT_TRUE(rig.window->exportTo(QString::fromStdString(pdf.string())));
    const QStringList lines = test::pdfLines(pdf);
    ASSERT_EQ(lines.size(), 3) << lines.join('\n').toStdString();
    EXPECT_EQ(lines[0].trimmed(), emptyLines[0].trimmed());
    // The title is centred, the spots start near the margin.
    EXPECT_GT(lines[0].indexOf("SpotFiles"), lines[1].indexOf("1 Station ID") + 10);
    EXPECT_TRUE(lines[1].contains(QRegularExpression("1 Station ID\\s+10:10 4$")))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(QRegularExpression("2 Spring Sale\\s+see you there\\s+01:15 9$")))
        << lines[2].toStdString();
    EXPECT_TRUE(rig.errors.messages.empty());

    // Without a printer set up, "Print" writes the same document to a file and says where.
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        GTEST_SKIP() << "a printer is set up on this machine";
    }
    rig.find<QAction>("mnuPrint")->trigger();
    const auto printed = rig.paths.dataFolder() / "SpotFiles.pdf";
    EXPECT_EQ(test::pdfLines(printed), lines);
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_NE(rig.errors.messages[0].find(printed.string()), std::string::npos);
}

}  // namespace
}  // namespace dvx
