#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <deque>
#include <map>
#include <set>

#include "app/main_window_rig.h"
#include "app/station.h"
#include "library/music_catalogue.h"
#include "library/spot_catalogue.h"
#include "platform/audio_test_support.h"
#include "support/accessible_controls.h"
#include "support/keyboard_access.h"
#include "ui/tab_order.h"

namespace dvx {
namespace {

// Opens every window that can be reached from the main window's menus, and from the menus of the
// windows those open, and checks the names of each window's controls as assistive technology
// hears them, their access keys, and that Tab reaches each of them. A window that a later build
// adds to a menu is walked as soon as its entry is enabled.
class WindowWalk {
  public:
    explicit WindowWalk(QWidget& main) : m_main(main) {}

    void run() {
        m_queue.push_back(&m_main);
        queueShownWindows();
        drain();
    }

    // A window that a button or a pop-up menu opens, and the windows its menus reach.
    void openAndWalk(QAction* entry) {
        open(entry);
        drain();
    }

    std::vector<QString> walked;
    std::map<QString, std::vector<QString>> problems;  // by window

  private:
    void drain() {
        while (!m_queue.empty()) {
            QPointer<QWidget> window = m_queue.front();
            m_queue.pop_front();
            if (window.isNull()) {
                continue;
            }
            check(window);
            for (QAction* entry : menuEntries(window)) {
                open(entry);
            }
        }
    }

    void check(QWidget* window) {
        if (qobject_cast<QFileDialog*>(window) != nullptr) {
            return;  // Qt's own file chooser, which names its two views of the folder alike
        }
        const QString name = window->objectName();
        walked.push_back(name);
        std::vector<QString>& found = problems[name];
        for (const QString& problem : test::namingProblems(test::accessibleControls(window))) {
            found.push_back(problem);
        }
        for (const QString& problem : test::accessKeyProblems(window)) {
            found.push_back(problem);
        }
        for (const QString& problem : test::tabChainProblems(window)) {
            found.push_back(problem);
        }
        if (found.empty()) {
            problems.erase(name);
        }
    }

    // The entries of the window's menu bars that do something: no separators, no entries that
    // only open a submenu, none that are disabled, and not Exit, which ends what is walked.
    static std::vector<QAction*> menuEntries(QWidget* window) {
        std::vector<QAction*> entries;
        std::vector<QAction*> pending;
        for (QMenuBar* bar : window->findChildren<QMenuBar*>()) {
            if (bar->window() == window) {
                const QList<QAction*> actions = bar->actions();
                pending.insert(pending.end(), actions.begin(), actions.end());
            }
        }
        while (!pending.empty()) {
            QAction* action = pending.front();
            pending.erase(pending.begin());
            if (action->menu() != nullptr) {
                const QList<QAction*> inner = action->menu()->actions();
                pending.insert(pending.end(), inner.begin(), inner.end());
            } else if (!action->isSeparator() && action->isEnabled() &&
                       QString(action->text()).remove('&') != "Exit") {
                entries.push_back(action);
            }
        }
        return entries;
    }

    // A modal window that an entry opens (a question, a file chooser) is checked and turned down
    // from within its own event loop.
    void open(QAction* entry) {
        QTimer modalGuard;
        modalGuard.setInterval(0);
        QObject::connect(&modalGuard, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                check(modal);
                if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                    dialog->reject();
                } else {
                    modal->close();
                }
            }
        });
        modalGuard.start();
        entry->trigger();
        QApplication::processEvents();
        modalGuard.stop();
        queueShownWindows();
    }

    void queueShownWindows() {
        QList<QWidget*> candidates = QApplication::topLevelWidgets();
        candidates += m_main.findChildren<QWidget*>();
        for (QWidget* widget : candidates) {
            if (widget->isWindow() && widget->isVisible() &&
                qobject_cast<QMenu*>(widget) == nullptr && m_seen.insert(widget).second &&
                widget != &m_main) {
                m_queue.push_back(widget);
            }
        }
    }

    QWidget& m_main;
    std::deque<QPointer<QWidget>> m_queue;
    std::set<QWidget*> m_seen{&m_main};
};

TEST(WindowNames, EveryWindowNamesItsControlsAndServesTheKeyboard) {
    test::MainWindowRig rig;
    std::string failure;
    ASSERT_TRUE(rig.window.startUp(failure)) << failure;
    rig.window.show();

    SpotCatalogue spots(rig.window.station()->files.Spotfile, rig.window.station()->paths);
    SpotRecord spot;
    spot.Status = kSpotActive;
    spots.write(1, spot);
    MusicRecord tune;
    tune.Status = kMusicActive;
    MusicCatalogue(rig.window.station()->files.Music, rig.window.station()->paths).write(1, tune);
    const auto source = rig.root.path() / "source.wav";
    test::writeSound(source, test::sine(440, 4410, 9000));

    WindowWalk walk(rig.window);
    walk.run();
    // The windows that pop-up menus open, and the questions before deleting: the normalize
    // window for a selected spot, the question before that spot, or a selected tune, or a source
    // file of the import window is deleted.
    auto* spotFiles = rig.window.findChild<QWidget*>("frmSpotFiles");
    ASSERT_NE(spotFiles, nullptr);
    spotFiles->findChild<QListWidget*>("lstSoundFile")->setCurrentRow(0);
    walk.openAndWalk(spotFiles->findChild<QAction*>("mnuPopupNormalize"));
    walk.openAndWalk(spotFiles->findChild<QAction*>("mnuPopupDelete"));
    auto* tunes = rig.window.findChild<QWidget*>("frmTune");
    ASSERT_NE(tunes, nullptr);
    tunes->findChild<QListWidget*>("lstTune")->setCurrentRow(0);
    walk.openAndWalk(tunes->findChild<QAction*>("mnuDelete"));
    auto* import = spotFiles->findChild<QWidget*>("frmImportFile");
    ASSERT_NE(import, nullptr);
    auto* fileName = import->findChild<QLineEdit*>("txtFileName");
    fileName->setText(QString::fromStdString(source.string()));
    emit fileName->returnPressed();
    walk.openAndWalk(import->findChild<QAction*>("mnuFilePopupDelete"));

    // System Info, which a button of About opens.
    auto* about = rig.window.findChild<QWidget*>("frmAbout");
    ASSERT_NE(about, nullptr);
    QAction systemInfo;
    QObject::connect(&systemInfo, &QAction::triggered, about->findChild<QPushButton*>("cmdSysInfo"),
                     &QPushButton::click);
    walk.openAndWalk(&systemInfo);

    // The walk reaches at least the windows of today's menus; later ones join it by themselves.
    const std::set<QString> walked(walk.walked.begin(), walk.walked.end());
    const QStringList reached =
        QString(
            "mnuMenu frmAddressBook frmCallList frmMusicCategories "
            "frmMyConnection frmMyMessages frmMyPreferences frmMyProgramming "
            "frmLogs frmHelp frmAbout frmSpotFiles frmTune frmImportFile "
            "frmSpecificFile frmNormalize frmDialog1 frmDialog2 frmDialog11 "
            "frmRotationFileManager frmSystemInfo")
            .split(' ');
    for (const QString& window : reached) {
        EXPECT_TRUE(walked.contains(window)) << window.toStdString() << " was not reached";
    }
    // Tab in reading order where the order of making the controls would jump: across the main
    // window's row, down the spot list, then down the boxes beside it, then the rows below.
    const auto tabOrder = [](QWidget* window) {
        QStringList names;
        for (const QWidget* control : test::tabChain(window)) {
            names << control->objectName();
        }
        return names.join(' ').toStdString();
    };
    EXPECT_EQ(tabOrder(&rig.window), "cmdStart cmdStop cmdClose");
    EXPECT_EQ(tabOrder(spotFiles),
              "lstSoundFile txtNumber txtName txtTalent txtOutcue txtLength txtEOM txtStartDate "
              "txtStopDate txtRecordDate txtSpotCat cmdPlay cmdPause cmdStop cmdEOM cmdRecord "
              "Check1 Check2 Slider cmdClose");
    for (const auto& [window, problems] : walk.problems) {
        ADD_FAILURE() << window.toStdString() << ":\n  "
                      << QStringList(problems.begin(), problems.end()).join("\n  ").toStdString();
    }
}

// The walk itself: what it must catch in a window.
TEST(WindowNames, AnUnnamedControlAndASharedNameAreFound) {
    QDialog window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLineEdit(&window));
    layout->addWidget(new QListWidget(&window));
    for (int i = 0; i < 2; ++i) {
        layout->addWidget(new QPushButton("OK", &window));
    }
    auto* menu = new QMenu(&window);  // a context menu: named by itself
    menu->addAction("Add");
    const std::vector<QString> problems = test::namingProblems(test::accessibleControls(&window));
    EXPECT_EQ(problems,
              (std::vector<QString>{"QLineEdit (EditableText) has no accessible name",
                                    "QListWidget (List) has no accessible name",
                                    "QMenu (PopupMenu) has no accessible name",
                                    "\"OK\" names QPushButton (Button), QPushButton (Button)"}));
}

// What the walk must catch about the keyboard: a button or a menu of the menu bar without an
// access key ("&&" is none), a letter shared among the window's buttons, check boxes and menus,
// or among the entries of one menu. Hidden buttons do not count.
TEST(WindowNames, AMissingAndASharedAccessKeyAreFound) {
    QDialog window;
    auto* layout = new QVBoxLayout(&window);
    auto* bar = new QMenuBar(&window);
    layout->setMenuBar(bar);
    QMenu* files = bar->addMenu("&Files");
    files->addAction("&Open");
    files->addAction("&Other");
    files->addAction("&Exit");
    bar->addMenu("View");
    for (const char* caption : {"&Start", "&Stop", "Fish && Chips", "&Run"}) {
        layout->addWidget(new QPushButton(caption, &window));
    }
    layout->addWidget(new QCheckBox("&Find", &window));
    auto* hidden = new QPushButton("Hidden", &window);
    layout->addWidget(hidden);
    hidden->hide();
    window.show();
    const std::vector<QString> problems = test::accessKeyProblems(&window);
    EXPECT_EQ(QStringList(problems.begin(), problems.end()),
              (QStringList{"button \"Fish && Chips\" has no access key",
                           "menu \"View\" has no access key",
                           "window: Alt+F is shared by QCheckBox, menu Files",
                           "window: Alt+S is shared by QPushButton, QPushButton",
                           "menu Files: Alt+O is shared by Open, Other"}));
}

// A window made in another order than it reads: Tab follows the order given, from the first
// control, over what takes no focus, and reaches each control once.
TEST(WindowNames, TabFollowsTheReadingOrderGiven) {
    QDialog window;
    auto* grid = new QGridLayout(&window);
    std::vector<QWidget*> made;
    for (const char* name : {"close", "second", "label", "first", "third"}) {
        QWidget* control = QString(name) == "label" ? static_cast<QWidget*>(new QLabel(&window))
                                                    : new QLineEdit(&window);
        control->setObjectName(name);
        grid->addWidget(control, static_cast<int>(made.size()), 0);
        made.push_back(control);
    }
    setReadingOrder({made[3], made[2], made[1], made[4], made[0]});
    window.show();
    QStringList visited;
    for (const QWidget* control : test::tabChain(&window)) {
        visited << control->objectName();
    }
    EXPECT_EQ(visited.join(' '), "first second third close");
    EXPECT_TRUE(test::tabChainProblems(&window).empty());
}

}  // namespace
}  // namespace dvx
