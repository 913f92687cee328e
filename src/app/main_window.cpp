#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "app/level_meter.h"
#include "app/metrics_gathering.h"
#include "app/metrics_server.h"
#include "app/sensor_runtime.h"
#include "app/startup.h"
#include "app/station.h"
#include "app/station_tray.h"
#include "app/status_line.h"
#include "app/stop_question.h"
#include "common/background_sync.h"
#include "fill/music_categories_window.h"
#include "fill/program_lists_window.h"
#include "fill/rotation_manager_window.h"
#include "library/delete_dialogs.h"
#include "library/import_window.h"
#include "library/music_files_window.h"
#include "library/music_import_target.h"
#include "library/record_log.h"
#include "library/spot_files_recorder.h"
#include "library/spot_files_window.h"
#include "library/spot_import_target.h"
#include "notify/contact_list_window.h"
#include "notify/messages_window.h"
#include "notify/notifier.h"
#include "platform/audio_backend.h"
#include "platform/command_restart.h"
#include "platform/port_opener.h"
#include "platform/wave_recorder.h"
#include "sensor/alarm_log.h"
#include "sensor/sensor_status.h"
#include "sensor/threshold_level.h"
#include "settings/connection_window.h"
#include "settings/extra_settings.h"
#include "settings/preferences_window.h"
#include "ui/settings_dialog.h"
#include "viewers/about_window.h"
#include "viewers/error_window.h"
#include "viewers/help_window.h"
#include "viewers/log_viewer_window.h"

namespace dvx {
namespace {

// Meters and status while the window is seen: ten times a second reads as live, and moving
// meters cost the program more at twenty than all its listening and timing together.
constexpr int kInSightRefreshMs = 100;
constexpr int kOutOfSightRefreshMs = 500;  // the status alone, for the tray, while it is not

QLabel* makeLabel(QWidget* parent, const char* objectName, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* objectName, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setMinimumWidth(90);
    return button;
}

LevelMeter* makeMeter(QWidget* parent, const char* objectName, const QString& accessibleName) {
    auto* meter = new LevelMeter(parent);
    meter->setObjectName(objectName);
    meter->setAccessibleName(accessibleName);
    return meter;
}

}  // namespace

MainWindow::MainWindow(Clock& clock, Paths paths, AudioBackend& audio, SoundFiles& soundFiles,
                       QWidget* parent)
    : QMainWindow(parent),
      m_clock(clock),
      m_paths(std::move(paths)),
      m_audio(audio),
      m_soundFiles(soundFiles) {
    setObjectName("mnuMenu");
    setWindowTitle("Dorvexia");
    m_errorWindow = new ErrorWindow(m_clock, this);
    buildControls();
    buildMenus();
}

MainWindow::~MainWindow() {
    endRun();
}

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    m_lblClock = makeLabel(central, "lblClock");
    QFont clockFont = m_lblClock->font();
    clockFont.setPointSizeF(clockFont.pointSizeF() * 1.4);
    clockFont.setBold(true);
    m_lblClock->setFont(clockFont);
    m_label4 = makeLabel(central, "Label4");
    auto* top = new QHBoxLayout;
    top->addWidget(m_lblClock, 1);
    top->addWidget(m_label4);
    layout->addLayout(top);
    m_status = new StatusLine(central);
    layout->addWidget(m_status);

    auto* silenceBox = new QGroupBox("Silence", central);
    auto* silenceLayout = new QHBoxLayout(silenceBox);
    m_label1 = makeLabel(silenceBox, "Label1");
    QFont bigFont = m_label1->font();
    bigFont.setPointSizeF(bigFont.pointSizeF() * 2.2);
    bigFont.setBold(true);
    m_label1->setFont(bigFont);
    m_label1->setMinimumWidth(160);
    m_label1->setAccessibleName("Silence counter");
    m_shape1 = makeLabel(silenceBox, "Shape1", "ALARM");
    m_shape1->setAlignment(Qt::AlignCenter);
    m_shape1->setMinimumSize(110, 40);
    m_shape1->setStyleSheet(
        "background-color: rgb(220, 30, 30); color: white; font-weight: bold; border-radius: 6px;");
    m_shape1->hide();
    m_label2 = makeLabel(silenceBox, "Label2");
    m_label2->setToolTip("Time left of the fill item playing");
    m_label2->hide();
    silenceLayout->addWidget(m_label1);
    silenceLayout->addWidget(m_shape1);
    silenceLayout->addStretch(1);
    silenceLayout->addWidget(m_label2);
    layout->addWidget(silenceBox);

    auto* inputBox = new QGroupBox("Programme feed", central);
    auto* inputLayout = new QGridLayout(inputBox);
    m_inputMeters[0] = makeMeter(inputBox, "MMLevelX1", "Programme feed left level");
    m_inputMeters[1] = makeMeter(inputBox, "MMLevelX2", "Programme feed right level");
    m_inputScale = new LevelScale(inputBox);
    m_inputScale->setObjectName("MMLevelScaleX1");
    inputLayout->addWidget(new QLabel("L", inputBox), 0, 0);
    inputLayout->addWidget(m_inputMeters[0], 0, 1);
    inputLayout->addWidget(new QLabel("R", inputBox), 1, 0);
    inputLayout->addWidget(m_inputMeters[1], 1, 1);
    inputLayout->addWidget(m_inputScale, 2, 1);
    layout->addWidget(inputBox);

    auto* fillBox = new QWidget(central);
    auto* fillLayout = new QGridLayout(fillBox);
    fillLayout->setContentsMargins(0, 0, 0, 0);
    m_fillMeters[0] = makeMeter(fillBox, "MMLevelX3", "Fill left level");
    m_fillMeters[1] = makeMeter(fillBox, "MMLevelX4", "Fill right level");
    m_fillScale = new LevelScale(fillBox);
    m_fillScale->setObjectName("MMLevelScaleX2");
    fillLayout->addWidget(m_fillMeters[0], 0, 0);
    fillLayout->addWidget(m_fillMeters[1], 1, 0);
    fillLayout->addWidget(m_fillScale, 2, 0);
    for (QWidget* w :
         {static_cast<QWidget*>(m_fillMeters[0]), static_cast<QWidget*>(m_fillMeters[1]),
          static_cast<QWidget*>(m_fillScale)}) {
        w->hide();  // shown only while the silence is filled
    }
    layout->addWidget(fillBox);

    m_label3 = makeLabel(central, "Label3");
    m_label3->setWordWrap(true);
    layout->addWidget(m_label3);
    // Below everything the operator watches, inside the window: a message never covers them.
    layout->addWidget(m_errorWindow);

    // Working lists of the fill selection: sorted, never shown. Assistive technology lists
    // hidden controls too, so they carry names.
    m_list1 = new QListWidget(central);
    m_list1->setObjectName("list1");
    m_list1->setAccessibleName("Fill working list 1");
    m_list1->setSortingEnabled(true);
    m_list1->hide();
    m_list2 = new QListWidget(central);
    m_list2->setObjectName("List2");
    m_list2->setAccessibleName("Fill working list 2");
    m_list2->setSortingEnabled(true);
    m_list2->hide();

    auto* buttons = new QHBoxLayout;
    m_cmdStart = makeButton(central, "cmdStart", "Sta&rt");
    m_cmdStop = makeButton(central, "cmdStop", "S&top");
    m_cmdClose = makeButton(central, "cmdClose", "&Close");
    buttons->addWidget(m_cmdStart);
    buttons->addWidget(m_cmdStop);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdClose);
    layout->addLayout(buttons);
    connect(m_cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_cmdStart, &QPushButton::clicked, this, [this] {
        if (m_runtime) {
            m_runtime->engine().StartSensor();
            refreshStatus();
        }
    });
    connect(m_cmdStop, &QPushButton::clicked, this, &MainWindow::onStop);
    showArmed(false);

    setCentralWidget(central);
    m_audioHealth = makeLabel(this, "lblAudioHealth");
    statusBar()->addWidget(m_audioHealth, 1);
    resize(560, 520);
}

QAction* MainWindow::addWindowEntry(QMenu* menu, const QString& caption, const char* objectName,
                                    std::function<QWidget*()> create) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(objectName);
    if (create) {
        connect(action, &QAction::triggered, this,
                [this, objectName, create] { openWindow(objectName, create); });
    } else {
        action->setEnabled(false);  // its window is not part of this build yet
    }
    return action;
}

QAction* MainWindow::addMenuBarEntry(const QString& caption, const char* objectName,
                                     std::function<QWidget*()> create) {
    QAction* action = menuBar()->addAction(caption);
    action->setObjectName(objectName);
    if (create) {
        connect(action, &QAction::triggered, this,
                [this, objectName, create] { openWindow(objectName, create); });
    } else {
        action->setEnabled(false);
    }
    return action;
}

QWidget* MainWindow::openWindow(const char* objectName, const std::function<QWidget*()>& create) {
    if (!m_station) {
        return nullptr;  // start-up has not run: nothing to show yet
    }
    QPointer<QWidget>& window = m_windows[QString(objectName)];
    if (window.isNull()) {
        window = create();
        window->setParent(this, Qt::Window);  // goes with the main window
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QWidget* MainWindow::openRotationManager() {
    return openWindow("mnuRotationFileManager", [this]() -> QWidget* {
        return new RotationManagerWindow(
            RotationManagerForm::Files{m_station->files.RFNames, m_station->files.Spotfile,
                                       m_station->paths},
            m_clock, *m_errorWindow);
    });
}

void MainWindow::buildMenus() {
    QMenu* files = menuBar()->addMenu("&Files");
    files->setObjectName("mnuFiles");
    QAction* exit = files->addAction("E&xit");
    exit->setObjectName("mnuExit");
    // Ctrl+Q from any window of the program: the settings windows are asked as on Close.
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    exit->setShortcutContext(Qt::ApplicationShortcut);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* setup = menuBar()->addMenu("&Setup");
    setup->setObjectName("mnuSetup");
    addWindowEntry(setup, "My &Address Book", "mnuAddBook", [this]() -> QWidget* {
        return new ContactListWindow(m_station->files.AddressBook, kAddressBookWindowStyle,
                                     *m_errorWindow,
                                     [this](const ContactEntry& entry, ContactTestDone done) {
                                         m_notifier->sendTestEmail(entry, std::move(done));
                                     });
    });
    addWindowEntry(setup, "Music &Categories", "mnuMusicCategories", [this]() -> QWidget* {
        return new MusicCategoriesWindow(m_station->files.MusicCat, *m_errorWindow);
    });
    addWindowEntry(setup, "My Call &List", "mnuCallList", [this]() -> QWidget* {
        return new ContactListWindow(m_station->files.CallList, kCallListWindowStyle,
                                     *m_errorWindow,
                                     [this](const ContactEntry& entry, ContactTestDone done) {
                                         m_notifier->sendTestPage(entry, std::move(done));
                                     });
    });
    addWindowEntry(setup, "My C&onnection", "mnuMyConnection", [this]() -> QWidget* {
        return new ConnectionWindow(m_station->connection, m_station->paths, *m_errorWindow);
    });
    addWindowEntry(setup, "My M&essages", "mnuMyMessages", [this]() -> QWidget* {
        return new MessagesWindow(m_station->files.MessageFile, m_station->Facility,
                                  *m_errorWindow);
    });
    addWindowEntry(setup, "My &Preferences", "mnuMyPreferences", [this]() -> QWidget* {
        return new PreferencesWindow(
            m_station->paths, m_station->parameters, m_station->account, m_audio, *m_errorWindow,
            [this] {
                // The relays and inputs move to the chosen interface.
                m_ports->closePort();
                m_runtime->relays().WriteRelays();
            },
            m_diskSync.get());
    });
    addWindowEntry(setup, "My P&rogramming", "mnuMyProgramming", [this]() -> QWidget* {
        return new ProgramListsWindow(
            m_station->files.MusRotFileOne, m_station->files.MusRotFileTwo,
            m_station->files.MusicCat, m_station->paths, m_station->parameters, *m_errorWindow,
            [this](const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); },
            m_diskSync.get());
    });
    QAction* rotations = setup->addAction("Rotation &File Manager");
    rotations->setObjectName("mnuRotationFileManager");
    connect(rotations, &QAction::triggered, this, &MainWindow::openRotationManager);

    addMenuBarEntry("&Music Files", "mnuMusicFiles", [this]() -> QWidget* {
        // It records from the sensor's own capture when both use one input device.
        auto* window = new MusicFilesWindow(
            MusicFilesForm::Files{m_station->files.Music, m_station->files.MusicCat,
                                  m_station->paths},
            m_station->parameters,
            LibraryDevices{m_clock, m_audio, m_soundFiles, m_runtime->pump()},
            std::make_unique<WaveRecorder>(m_audio, m_soundFiles, m_runtime->pump(),
                                           m_runtime->graph().WaveIn),
            *m_errorWindow);
        window->attachImport([this, window](QWidget* parent) -> QWidget* {
            return new ImportWindow(importParts(),
                                    std::make_unique<MusicImportTarget>(window->form()), parent);
        });
        window->attachDeletion([this, window](const MusicFilesForm::Entry& entry) {
            MusicDeleteDialog::ask(
                window->form().catalogue(), entry, *m_errorWindow,
                [window] { window->reloadAndSelect(0); }, window);
        });
        return window;
    });
    addMenuBarEntry("S&potFiles", "mnuSpotFiles", [this]() -> QWidget* {
        auto* window = new SpotFilesWindow(
            m_station->files.Spotfile, m_station->paths, m_station->parameters,
            LibraryDevices{m_clock, m_audio, m_soundFiles, m_runtime->pump()}, *m_errorWindow);
        // It records from the sensor's own capture when both use one input device.
        auto recorder = std::make_unique<SpotFilesRecorder>(
            window->form(),
            SpotFilesRecorder::Parts{m_clock, m_station->parameters, m_station->files.Spotfile,
                                     m_station->paths, *m_recordLog, m_audio, m_soundFiles,
                                     m_runtime->pump(), m_runtime->graph().WaveIn, *m_errorWindow});
        SpotRecording& recording = recorder->recording();  // lives as long as the window
        window->attachRecording(std::move(recorder));
        window->attachDeletion(std::make_unique<SpotDeletion>(SpotDeletion::Parts{
            m_station->files.Spotfile, m_station->files.RFNames, m_station->paths,
            m_station->parameters, m_clock, *m_recordLog, *m_errorWindow}));
        window->attachImport(SpotFilesWindow::ImportWindows{
            [this, window, &recording](QWidget* parent) -> QWidget* {
                return new ImportWindow(
                    importParts(),
                    std::make_unique<SpotImportTarget>(
                        window->form(), recording, *m_recordLog,
                        [window](std::string_view text) { window->deleteTypedSpot(text); }),
                    parent);
            },
            [&recording](std::string_view text, bool importWindowOpen) {
                return recording.reserveSpecificFile(text, importWindowOpen);
            }});
        window->attachRotationManager([this] { return openRotationManager(); });
        return window;
    });

    QMenu* history = menuBar()->addMenu("Hist&ory");
    history->setObjectName("mnuHistory");
    addWindowEntry(history, "&Alarm Logs", "mnuAlarmLogs", [this]() -> QWidget* {
        m_log->setLogKind("AL");  // the viewer lists the daily alarm logs
        return new LogViewerWindow(m_station->paths.logsFolder(), m_log->logKind(), *m_errorWindow);
    });

    QAction* help = addMenuBarEntry("&Help", "mnuHelp", [this]() -> QWidget* {
        return new HelpWindow(m_paths, *m_errorWindow);
    });
    help->setShortcut(QKeySequence::HelpContents);  // F1, from any window of the program
    help->setShortcutContext(Qt::ApplicationShortcut);
    addMenuBarEntry("&About", "mnuAbout", [this]() -> QWidget* {
        return new AboutWindow(*m_errorWindow, [this] { return systemInfo(); });
    });
}

SystemInfo MainWindow::systemInfo() const {
    SystemInfo info{qVersion(),
                    m_audio.name(),
                    {},
                    m_paths.dataRoot(),
                    freeSpace(m_paths.dataRoot()),
                    std::chrono::duration_cast<std::chrono::seconds>(
                        std::chrono::steady_clock::now() - m_started)
                        .count()};
    if (m_station) {
        info.devices = devicesInUse(m_station->devices, m_station->parameters,
                                    m_audio.inputDeviceNames(), m_audio.outputDeviceNames());
    }
    return info;
}

ImportParts MainWindow::importParts() {
    return ImportParts{m_clock,
                       m_station->parameters,
                       m_station->paths,
                       m_station->files.Spotfile,
                       m_station->files.Music,
                       *m_recordLog,
                       m_audio,
                       m_soundFiles,
                       m_runtime->pump(),
                       *m_errorWindow,
                       m_lastImportFolder};
}

bool MainWindow::startUp(std::string& failure) {
    try {
        // Every write of the run reaches the disk from a thread of its own, so a busy disk
        // never stalls this one; its failures come back to the error window.
        m_diskSync = std::make_unique<BackgroundSync>(m_clock, *m_errorWindow);
        StartupResult result = runStartup(m_paths, m_diskSync.get());
        m_station = std::move(result.station);
        setWindowTitle(QString::fromStdString(result.caption));
        m_firstStart = result.firstStart;
        for (const std::string& message : result.messages) {
            m_errorWindow->showError(message);
        }
        m_log =
            std::make_unique<AlarmLog>(m_station->paths, m_clock, *m_errorWindow, m_diskSync.get());
        m_recordLog = std::make_unique<RecordLog>(m_station->paths, m_clock, *m_errorWindow,
                                                  m_diskSync.get());
        m_notifier = std::make_unique<Notifier>(
            m_clock, m_station->paths, m_station->files, m_station->connection, m_station->account,
            m_station->Facility, *m_log, *m_errorWindow,
            [this](const std::string& text) { m_label3->setText(QString::fromStdString(text)); });
        m_ports = std::make_unique<PortOpener>(m_station->paths, m_clock, *m_errorWindow);
        m_restart = std::make_unique<CommandRestart>();
        m_runtime =
            std::make_unique<SensorRuntime>(*m_station,
                                            SensorDevices{m_clock, m_audio, m_soundFiles, *m_ports,
                                                          *m_restart, *m_errorWindow, *this, *this},
                                            *m_log, *m_notifier);
        m_meterTimer = m_clock.createTimer("MeterTimer", kInSightRefreshMs, [this] {
            refreshStatus();
            if (!m_outOfSight) {
                refreshMeters();
            }
        });
        m_meterTimer->setInterval(m_outOfSight ? kOutOfSightRefreshMs : kInSightRefreshMs);
        m_meterTimer->setEnabled(true);
        m_runtime->startMetering();
    } catch (const std::exception& error) {
        failure = error.what();
        return false;
    }
    return true;
}

void MainWindow::watchFromAfar(const std::string& metricsAddress) {
    if (!m_runtime) {
        return;
    }
    if (m_tray == nullptr) {
        m_tray = new StationTray(*this, QSystemTrayIcon::isSystemTrayAvailable());
    }
    std::string text = metricsAddress;
    std::string error;
    try {
        if (text.empty()) {
            text = ExtraSettings::read(m_paths.dataRoot()).value(ExtraSettings::kMetricsAddress);
        }
    } catch (const std::exception& failure) {
        error = std::string("The metrics endpoint is off: ") + failure.what();
    }
    const MetricsAddressParse parsed = parseMetricsAddress(text);
    if (!parsed.error.empty()) {
        error = parsed.error + ": the metrics endpoint is off";
    }
    if (parsed.address && !m_metrics) {
        auto server = std::make_unique<MetricsServer>([this] {
            return renderMetrics(gatherStationMetrics(
                *m_runtime, m_clock, m_notifier->mailsDelivered(), m_notifier->pagesDelivered()));
        });
        m_metricsPort = server->listen(*parsed.address, error);
        if (m_metricsPort != 0) {
            m_metrics = std::move(server);
        }
    }
    if (!error.empty()) {
        m_errorWindow->showError(error);
    }
}

void MainWindow::armIfAutoRun() {
    if (m_runtime) {
        m_runtime->armIfAutoRun();
    }
}

void MainWindow::closeAtProgramEnd() {
    m_endingWithoutQuestions = true;
    m_closeAnswered = true;
    m_endReason = StopReason::ProgramEnd;
    close();
}

bool MainWindow::armed() const {
    return m_runtime && m_runtime->engine().state().SensorRunning;
}

void MainWindow::askToStop(const QString& stopCaption, std::function<void()> stop) {
    if (m_stopQuestion) {
        m_stopQuestion->raise();  // already asked: the answer to that one decides
        m_stopQuestion->activateWindow();
        return;
    }
    m_stopQuestion = askToStopGuarding(this, stopCaption, std::move(stop));
}

void MainWindow::proposeFirstSettings() {
    if (m_firstStart) {
        findChild<QAction*>("mnuMyPreferences")->trigger();
    }
}

void MainWindow::onStop() {
    if (!m_runtime) {
        return;
    }
    const auto stop = [this] {
        if (!m_runtime) {
            return;
        }
        m_notifier->closePort();  // a call in progress ends before the sensor is disarmed
        m_runtime->engine().StopSensor(StopReason::Operator);
        refreshStatus();
    };
    if (armed()) {
        askToStop("Stop", stop);
    } else {
        stop();  // nothing is guarded: a fill left winding down goes on as it does
    }
}

void MainWindow::refreshStatus() {
    if (m_runtime) {
        const SensorState& state = m_runtime->engine().state();
        const SensorStatus status = sensorStatus(state, m_runtime->fill().fillSounds());
        m_status->showStatus(status);
        if (m_tray != nullptr) {
            m_tray->show(status, state.AlarmActive);
        }
    }
}

void MainWindow::refreshMeters() {
    MainAudioGraph& graph = m_runtime->graph();
    const LevelReading input = graph.MMConnectorX1.levels();
    const double threshold = thresholdDbfs(m_station->parameters.Threshold);
    for (LevelMeter* meter : m_inputMeters) {
        meter->setThresholdDb(threshold);
    }
    m_inputMeters[0]->setPeak(input.left);
    m_inputMeters[1]->setPeak(input.right);
    if (m_fillMeters[0]->isVisible()) {
        LevelReading fill = graph.MMConnectorX2.levels();
        for (LevelTap* tap : {&graph.MMConnectorX3, &graph.MMConnectorX4}) {
            const LevelReading other = tap->levels();
            fill.left = std::max(fill.left, other.left);
            fill.right = std::max(fill.right, other.right);
        }
        m_fillMeters[0]->setPeak(fill.left);
        m_fillMeters[1]->setPeak(fill.right);
    }
    refreshAudioHealth();
}

void MainWindow::refreshAudioHealth() {
    const AudioHealthWatch& health = m_runtime->health();
    std::string text;
    for (const std::string& name : health.lostDevices()) {
        text += "Audio device lost: " + name + ".  ";
    }
    // Short enough for the status line; the tool tip spells the counts out.
    const AudioDropouts dropouts = health.dropouts();
    if (dropouts == AudioDropouts{}) {
        text += "Audio dropouts: none";
    } else {
        text += "Audio dropouts: " + std::to_string(dropouts.overruns) + " overruns, " +
                std::to_string(dropouts.underruns) + " underruns, " +
                std::to_string(dropouts.captureDropped + dropouts.passThroughShort) +
                " frames lost";
    }
    const QString shown = QString::fromStdString(text);
    if (m_audioHealth->text() != shown) {
        m_audioHealth->setText(shown);
        m_audioHealth->setToolTip(QString::fromStdString(describeDropouts(dropouts)));
    }
}

void MainWindow::showSilence(const std::string& text) {
    m_label1->setText(QString::fromStdString(text));
}

void MainWindow::showAlarm(bool visible) {
    m_shape1->setVisible(visible);
}

void MainWindow::showArmed(bool armed) {
    // Light green while armed, dark green while not; a screen reader says it in words.
    m_cmdStart->setStyleSheet(armed ? "background-color: rgb(128, 255, 128);"
                                    : "background-color: rgb(0, 128, 0); color: white;");
    m_cmdStart->setAccessibleDescription(armed ? "The sensor is armed" : "The sensor is not armed");
}

void MainWindow::showProgram(const std::string& text) {
    m_label4->setText(QString::fromStdString(text));
}

void MainWindow::showClock(const std::string& text) {
    m_lblClock->setText(QString::fromStdString(text));
}

void MainWindow::showItem(const std::string& Label3) {
    m_label3->setText(QString::fromStdString(Label3));
}

void MainWindow::showTimeLeft(const std::string& Label2) {
    m_label2->setText(QString::fromStdString(Label2));
}

void MainWindow::setTimeLeftVisible(bool visible) {
    m_label2->setVisible(visible);
}

void MainWindow::setFillMetersVisible(bool visible) {
    for (QWidget* widget :
         {static_cast<QWidget*>(m_fillMeters[0]), static_cast<QWidget*>(m_fillMeters[1]),
          static_cast<QWidget*>(m_fillScale)}) {
        widget->setVisible(visible);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Each open settings window is closed first, in turn, and asks about its unsaved edits; a
    // Cancel in any of them keeps the program running. A stop by a signal asks nobody.
    if (!m_endingWithoutQuestions && !settingsWindowsClosed()) {
        event->ignore();
        return;
    }
    if (armed() && !m_closeAnswered) {
        // Then whether to stop guarding; the run goes on while the question is open.
        event->ignore();
        askToStop("Close", [this] {
            m_closeAnswered = true;
            m_endReason = StopReason::OperatorClose;
            close();
        });
        return;
    }
    // Then closing ends the run at once: no other window gets its own closing handling, and every
    // file is closed as the station goes.
    event->accept();
    endRun();
    QApplication::quit();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        setOutOfSight(isMinimized());
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    setOutOfSight(isMinimized());
}

void MainWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    setOutOfSight(true);
}

void MainWindow::setOutOfSight(bool outOfSight) {
    if (outOfSight == m_outOfSight) {
        return;
    }
    m_outOfSight = outOfSight;
    if (!m_meterTimer) {
        return;
    }
    // Out of sight the meters rest, but the status still follows the sensor, slowly: the tray
    // icon and the notices of an alarm come from it, and they matter most while minimised.
    m_meterTimer->setInterval(outOfSight ? kOutOfSightRefreshMs : kInSightRefreshMs);
    if (!outOfSight) {
        refreshStatus();  // as it is now, not as it was when the window went out of sight
        refreshMeters();
    }
}

bool MainWindow::settingsWindowsClosed() {
    for (auto& [name, window] : m_windows) {
        auto* settings = qobject_cast<SettingsDialog*>(window.data());
        if (settings != nullptr && settings->isVisible() && !settings->close()) {
            return false;
        }
    }
    return true;
}

void MainWindow::endRun() {
    if (armed()) {
        m_runtime->engine().StopSensor(m_endReason);
    }
    for (auto& [name, window] : m_windows) {
        const auto* settings = qobject_cast<SettingsDialog*>(window.data());
        if (settings != nullptr && settings->isVisible() && settings->hasUnsavedEdits()) {
            std::fprintf(stderr, "dorvexia: the unsaved edits of %s were not saved\n",
                         settings->windowTitle().toUtf8().constData());
        }
        delete window.data();  // without its own closing handling: nothing is saved
    }
    m_windows.clear();
    m_metrics.reset();  // it reads the runtime and the notifier
    m_metricsPort = 0;
    m_meterTimer.reset();
    m_runtime.reset();
    m_restart.reset();
    m_ports.reset();
    m_notifier.reset();
    m_recordLog.reset();  // a line still pending is written now
    m_log.reset();
    m_station.reset();
    if (m_diskSync) {
        // The last syncs run now. The error window goes with the run, so what they report goes
        // to the standard error stream instead (the journal, under a service manager).
        m_diskSync->stop();
        for (const std::string& failure : m_diskSync->takeFailures()) {
            std::fprintf(stderr, "dorvexia: %s\n", failure.c_str());
        }
        m_diskSync.reset();
    }
}

}  // namespace dvx
