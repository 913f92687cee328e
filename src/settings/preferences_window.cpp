#include "settings/preferences_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

#include "common/paths.h"
#include "platform/audio_backend.h"
#include "sensor/threshold_level.h"
#include "ui/control_names.h"
#include "ui/refused_mark.h"
#include "ui/tab_order.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

constexpr const char* kDayCaptions[8] = {"",          "Sunday",   "Monday", "Tuesday",
                                         "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr const char* kRemoteControlCaptions[3] = {"Off", "Parallel ", "Prairie Digital"};
constexpr const char* kModeCaptions[2] = {"Mono", "Stereo"};
constexpr int kListWidth = 170;

constexpr const char* kThresholdRefused =
    "The threshold takes digits only: a whole number from 0 (only digital silence counts as "
    "dead air) to 32767. Its level in dBFS shows beside the box.";

// What each option does, for its tool tip, by object name.
constexpr std::pair<const char*, const char*> kToolTips[] = {
    {"lstWaveIn", "Select Input Card: the programme feed that is watched for dead air"},
    {"lstWaveOutNet", "Output that carries the programme feed passed through live"},
    {"lstWaveOut", "Select Output Card: fill player 1, and the mixer when Use Mixer is on"},
    {"lstWaveOut2", "Select Output Card: fill player 2"},
    {"lstAudOut", "Output on which Music Files and SpotFiles play"},
    {"lstAudIn", "Input from which Music Files and SpotFiles record"},
    {"chkMixer", "Play the fill through the mixer to Out 1 instead of through the two players"},
    {"lstTime", "Number of Seconds of Dead Air before Alarm"},
    {"txtThreshold",
     "Peak level (0 to 32767) below which a buffer counts as silent; its dBFS level shows "
     "beside the box"},
    {"Check2", "Raise the alarm without filling the silence from the library"},
    {"chkReboot", "Restart the computer as part of the alarm"},
    {"chkPage", "Dial the call list when an alarm begins"},
    {"chkEmail", "Send alarm e-mail when an alarm begins"},
    {"chkPageEnd", "Dial the call list when an alarm ends"},
    {"chkEmailEnd", "Send e-mail when an alarm ends"},
    {"chkWeekTest", "Run the weekly test of the alarm"},
    {"option2_0", "No relay interface: relays and remote inputs are off"},
    {"option2_1", "Relays and remote inputs on the parallel port (8 relays)"},
    {"option2_2", "Relays and remote inputs on the Prairie Digital board (12 relays)"},
    {"lstAlarmRelay",
     "Select Relay Output for Alarm...Remote Control must be enabled in Setup>>My Computer"},
    {"txtRecStopDelay", "Seconds of silence after which an automatic recording stops"},
    {"chkAutoStart", "Start recording by itself when sound begins"},
    {"optMode_0", "Record the library in mono"},
    {"optMode_1", "Record the library in stereo"},
    {"txtUserName", "User name of the mail account that sends alarm e-mail"},
    {"txtPassword", "Password of the mail account that sends alarm e-mail"},
    {"txtMailServer", "Mail server that alarm e-mail goes through, as smtp:// or smtps://"},
    {"txtSender", "Sender address of alarm e-mail; empty takes it from the user name"},
    {"chkAutoRun", "Arm the sensor as soon as the program has started"},
    {"chkSessionStart", "Start Dorvexia whenever you log in to the desktop"},
    {"txtMetricsAddress",
     "Where the next start serves metrics for Prometheus: HOST:PORT, or PORT for this machine "
     "only; empty for none. --metrics-address on the command line goes first"},
};

QString indexed(const char* name, int index) {
    return QString("%1_%2").arg(name).arg(index);
}

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

std::string plain(const QLineEdit* box) {
    return box->text().toStdString();
}

QListWidget* makeList(QWidget* parent, const char* objectName, int visibleRows) {
    auto* list = new QListWidget(parent);
    list->setObjectName(objectName);
    list->setMinimumWidth(kListWidth);
    list->addItem("X");  // a row to measure: whole rows show, none cut in half
    list->setFixedHeight(list->sizeHintForRow(0) * visibleRows + 2 * list->frameWidth());
    list->clear();
    return list;
}

QCheckBox* makeCheck(QWidget* parent, const QString& objectName, const char* caption) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(objectName);
    return box;
}

QLineEdit* makeBox(QWidget* parent, const QString& objectName, int width = 0) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    if (width > 0) {
        box->setFixedWidth(width);
    }
    return box;
}

void fillList(QListWidget* list, const std::vector<std::string>& items) {
    list->clear();
    for (const std::string& item : items) {
        list->addItem(qt(item));
    }
}

std::optional<int> selectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    return list->row(selected.first());
}

void selectRow(QListWidget* list, std::optional<int> row) {
    if (row) {
        list->setCurrentRow(*row);
    } else {
        list->setCurrentItem(nullptr);
        list->clearSelection();
    }
}

template <std::size_t N>
std::optional<int> checkedButton(const std::array<QRadioButton*, N>& buttons) {
    for (std::size_t i = 0; i < N; ++i) {
        if (buttons[i]->isChecked()) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

// Checks one button of the group, or none: exclusive buttons refuse to be all cleared, so the
// group is made non-exclusive for the moment.
template <std::size_t N>
void checkButton(const std::array<QRadioButton*, N>& buttons, std::optional<int> index) {
    for (std::size_t i = 0; i < N; ++i) {
        buttons[i]->setAutoExclusive(false);
        buttons[i]->setChecked(index && *index == static_cast<int>(i));
        buttons[i]->setAutoExclusive(true);
    }
}

QVBoxLayout* labelled(const char* label, QWidget* control) {
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    column->addWidget(newLabel(label, control));
    column->addWidget(control);
    return column;
}

}  // namespace

PreferencesWindow::PreferencesWindow(const Paths& paths, Parameters& memory, EmailAccount& account,
                                     AudioBackend& audio, ErrorReporter& errors,
                                     std::function<void()> remoteControlChanged, DiskSync* diskSync,
                                     QWidget* parent)
    : SettingsDialog(parent),
      m_paths(paths),
      m_account(account),
      m_audio(audio),
      m_errors(errors),
      m_diskSync(diskSync),
      m_form(paths, memory, account, std::move(remoteControlChanged)),
      m_autostart(SessionAutostart::forThisProgram()) {
    setObjectName("frmMyPreferences");
    setWindowTitle("My Preferences");
    buildControls();
    for (const auto& [name, tip] : kToolTips) {
        findChild<QWidget*>(name)->setToolTip(tip);
    }
    connectRelayInterface();
    connectThresholdLevel();
    setReadingOrder();
    watchEdits(findChildren<QWidget*>());
}

void PreferencesWindow::buildControls() {
    auto* menus = new QMenuBar(this);
    QMenu* files = menus->addMenu("&Files");
    files->setObjectName("mnuFiles");
    QAction* exit = files->addAction("E&xit");
    exit->setObjectName("mnuExit");
    connect(exit, &QAction::triggered, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(newApplyButton());
    buttons->addWidget(newCloseButton());

    auto* middle = new QHBoxLayout;
    middle->addWidget(buildRelays());
    middle->addWidget(buildRecording());
    auto* left = new QVBoxLayout;
    left->addWidget(buildDevices());
    left->addLayout(middle);
    left->addWidget(buildMail());
    left->addWidget(buildWatching());

    auto* bottomRight = new QHBoxLayout;
    bottomRight->addWidget(buildStartup(), 1);
    bottomRight->addLayout(buttons);
    bottomRight->setAlignment(buttons, Qt::AlignBottom);
    auto* right = new QVBoxLayout;
    right->addWidget(buildAlarm());
    right->addWidget(buildTimedDays());
    right->addLayout(bottomRight);

    m_lblFirstStart = new QLabel(
        "Welcome to Dorvexia. Choose the input to guard, the threshold and the dead-air delay, "
        "then press Apply.",
        this);
    m_lblFirstStart->setObjectName("lblFirstStart");
    m_lblFirstStart->setWordWrap(true);
    m_lblFirstStart->setStyleSheet(
        "background-color: rgb(255, 248, 200); border: 1px solid rgb(200, 170, 60); padding: 6px;");
    m_lblFirstStart->hide();

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* page = new QVBoxLayout(this);
    page->setMenuBar(menus);
    page->addWidget(m_lblFirstStart);
    page->addLayout(columns);
}

QWidget* PreferencesWindow::buildDevices() {
    auto* group = new QGroupBox("Sound cards", this);
    m_lstWaveIn = makeList(group, "lstWaveIn", 4);
    m_lstWaveOutNet = makeList(group, "lstWaveOutNet", 4);
    m_lstWaveOut = makeList(group, "lstWaveOut", 4);
    m_lstWaveOut2 = makeList(group, "lstWaveOut2", 4);
    m_lstAudOut = makeList(group, "lstAudOut", 4);
    m_lstAudIn = makeList(group, "lstAudIn", 4);
    m_chkMixer = makeCheck(group, "chkMixer", "Use Mixer");

    auto* grid = new QGridLayout(group);
    grid->addLayout(labelled("Net In", m_lstWaveIn), 0, 0);
    grid->addLayout(labelled("Net Out", m_lstWaveOutNet), 0, 1);
    grid->addLayout(labelled("Aud In", m_lstAudIn), 0, 2);
    grid->addLayout(labelled("Out 1", m_lstWaveOut), 1, 0);
    grid->addLayout(labelled("Out 2", m_lstWaveOut2), 1, 1);
    grid->addLayout(labelled("Aud Out", m_lstAudOut), 1, 2);
    grid->addWidget(m_chkMixer, 2, 0);
    return group;
}

QWidget* PreferencesWindow::buildAlarm() {
    auto* group = new QGroupBox("Alarm", this);
    m_lstTime = makeList(group, "lstTime", 5);
    m_lstTime->setMinimumWidth(110);
    fillList(m_lstTime, deadAirItems());
    m_txtThreshold = makeBox(group, "txtThreshold", 70);
    auto* digits = new QIntValidator(0, 32767, m_txtThreshold);
    QLocale plainDigits = QLocale::c();
    plainDigits.setNumberOptions(QLocale::RejectGroupSeparator);
    digits->setLocale(plainDigits);
    m_txtThreshold->setValidator(digits);
    m_lblThresholdDbfs = new QLabel(group);
    m_lblThresholdDbfs->setObjectName("lblThresholdDbfs");
    m_lblThresholdDbfs->setMinimumWidth(m_lblThresholdDbfs->fontMetrics().horizontalAdvance(
        QString::fromStdString(thresholdDbfsText(1))));
    m_Check2 = makeCheck(group, "Check2", "Alarm Only");
    m_chkPage = makeCheck(group, "chkPage", "Page");
    m_chkEmail = makeCheck(group, "chkEmail", "Email");
    m_chkPageEnd = makeCheck(group, "chkPageEnd", "Page End");
    m_chkEmailEnd = makeCheck(group, "chkEmailEnd", "Email End");
    m_chkWeekTest = makeCheck(group, "chkWeekTest", "Weekly Test");
    m_chkReboot = makeCheck(group, "chkReboot", "Reboot");

    auto* threshold = labelled("Threshold", m_txtThreshold);
    threshold->addWidget(m_lblThresholdDbfs);
    threshold->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(labelled("Delay", m_lstTime));
    top->addLayout(threshold);
    top->addStretch();
    auto* checks = new QGridLayout;
    QCheckBox* const order[] = {m_Check2,     m_chkReboot,   m_chkPage,    m_chkEmail,
                                m_chkPageEnd, m_chkEmailEnd, m_chkWeekTest};
    for (int i = 0; i < 7; ++i) {
        checks->addWidget(order[i], i / 2, i % 2);
    }
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(top);
    layout->addLayout(checks);
    return group;
}

QWidget* PreferencesWindow::buildRelays() {
    auto* group = new QGroupBox("Relays", this);
    auto* frame = new QGroupBox("Remote Control", group);
    frame->setObjectName("Frame3");
    auto* buttons = new QVBoxLayout(frame);
    for (int i = 0; i < 3; ++i) {
        m_option2[static_cast<std::size_t>(i)] = new QRadioButton(kRemoteControlCaptions[i], frame);
        m_option2[static_cast<std::size_t>(i)]->setObjectName(indexed("option2", i));
        buttons->addWidget(m_option2[static_cast<std::size_t>(i)]);
    }
    m_lstAlarmRelay = makeList(group, "lstAlarmRelay", 5);
    m_lstAlarmRelay->setMinimumWidth(100);
    auto* relayColumn = labelled("Alarm Relay", m_lstAlarmRelay);
    relayColumn->addStretch();
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(frame, 0, Qt::AlignTop);
    layout->addLayout(relayColumn);
    return group;
}

QWidget* PreferencesWindow::buildRecording() {
    auto* group = new QGroupBox("Recording", this);
    m_txtRecStopDelay = makeBox(group, "txtRecStopDelay", 60);
    m_chkAutoStart = makeCheck(group, "chkAutoStart", "AutoStart");
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(new QLabel("Record Parameters", group));
    auto* delay = new QHBoxLayout;
    delay->addWidget(newLabel("Stop Delay", m_txtRecStopDelay));
    delay->addWidget(m_txtRecStopDelay);
    delay->addStretch();
    layout->addLayout(delay);
    layout->addWidget(m_chkAutoStart);
    auto* modes = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        m_optMode[static_cast<std::size_t>(i)] = new QRadioButton(kModeCaptions[i], group);
        m_optMode[static_cast<std::size_t>(i)]->setObjectName(indexed("optMode", i));
        modes->addWidget(m_optMode[static_cast<std::size_t>(i)]);
    }
    modes->addStretch();
    layout->addLayout(modes);
    layout->addStretch();
    return group;
}

QWidget* PreferencesWindow::buildTimedDays() {
    auto* group = new QGroupBox("Timed start and stop", this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel("Start Stop", group), 0, 0);
    grid->addWidget(new QLabel("Start", group), 0, 1);
    grid->addWidget(new QLabel("Stop", group), 0, 2);
    for (int day = 1; day <= 7; ++day) {
        const auto at = static_cast<std::size_t>(day);
        m_Check1[at] = makeCheck(group, indexed("Check1", day), kDayCaptions[day]);
        m_txtStart[at] = makeBox(group, indexed("txtStart", day), 80);
        m_txtStop[at] = makeBox(group, indexed("txtStop", day), 80);
        m_Check1[at]->setToolTip(
            QString("Start and stop the sensor by the clock on %1").arg(kDayCaptions[day]));
        m_txtStart[at]->setToolTip("Time of day the sensor is armed, 24-hour: 06:30:00");
        m_txtStop[at]->setToolTip("Time of day the sensor is disarmed, 24-hour: 18:00:00");
        nameStartStop(m_txtStart[at], m_txtStop[at], kDayCaptions[day]);
        grid->addWidget(m_Check1[at], day, 0);
        grid->addWidget(m_txtStart[at], day, 1);
        grid->addWidget(m_txtStop[at], day, 2);
    }
    grid->setColumnStretch(3, 1);
    return group;
}

QWidget* PreferencesWindow::buildMail() {
    auto* group = new QGroupBox("Mail", this);
    m_txtUserName = makeBox(group, "txtUserName");
    m_txtPassword = makeBox(group, "txtPassword");
    m_txtPassword->setEchoMode(QLineEdit::Password);
    m_txtMailServer = makeBox(group, "txtMailServer");
    m_txtMailServer->setPlaceholderText("smtp://mail.example.com:587");
    m_txtSender = makeBox(group, "txtSender");
    // An empty sender box stands for the default, worked out from the user name when mail goes
    // out; the box shows which address that is for the user name typed.
    connect(m_txtUserName, &QLineEdit::textChanged, this, [this](const QString& userName) {
        m_txtSender->setPlaceholderText(qt(defaultSender(userName.toStdString())));
    });
    auto* form = new QGridLayout(group);
    const std::pair<const char*, QLineEdit*> rows[] = {{"User Name", m_txtUserName},
                                                       {"Password", m_txtPassword},
                                                       {"Mail Server", m_txtMailServer},
                                                       {"Sender", m_txtSender}};
    for (int i = 0; i < 4; ++i) {
        form->addWidget(newLabel(rows[i].first, rows[i].second), i / 2, (i % 2) * 2);
        form->addWidget(rows[i].second, i / 2, (i % 2) * 2 + 1);
    }
    return group;
}

QWidget* PreferencesWindow::buildWatching() {
    auto* group = new QGroupBox("Watching from afar", this);
    m_txtMetricsAddress = makeBox(group, "txtMetricsAddress");
    m_txtMetricsAddress->setPlaceholderText("off (for example 127.0.0.1:9464)");
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(newLabel("Metrics address", m_txtMetricsAddress));
    layout->addWidget(m_txtMetricsAddress, 1);
    return group;
}

QWidget* PreferencesWindow::buildStartup() {
    auto* group = new QGroupBox("Start-up", this);
    m_chkAutoRun = makeCheck(group, "chkAutoRun", "Auto Run");
    m_chkSessionStart = makeCheck(group, "chkSessionStart", "Start &with the desktop session");
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(m_chkAutoRun);
    layout->addWidget(m_chkSessionStart);
    return group;
}

// Choosing an interface shows its relays at once, with "Off" chosen; the running sensor takes
// the interface and the relay with the rest, on Apply.
void PreferencesWindow::connectRelayInterface() {
    for (int i = 0; i < 3; ++i) {
        connect(m_option2[static_cast<std::size_t>(i)], &QRadioButton::toggled, this,
                [this, i](bool checked) {
                    if (checked && !m_loading) {
                        setRelayList(alarmRelayItems(i), i != 0);
                    }
                });
    }
}

// Tab moves down the left column (sound cards, relays, recording, mail, metrics), then down the
// right one (alarm, timed start and stop, start-up) to Apply and Close.
void PreferencesWindow::setReadingOrder() {
    QList<QWidget*> order = {m_lstWaveIn,    m_lstWaveOutNet, m_lstAudIn,      m_lstWaveOut,
                             m_lstWaveOut2,  m_lstAudOut,     m_chkMixer,      m_option2[0],
                             m_option2[1],   m_option2[2],    m_lstAlarmRelay, m_txtRecStopDelay,
                             m_chkAutoStart, m_optMode[0],    m_optMode[1],    m_txtUserName,
                             m_txtPassword,  m_txtMailServer, m_txtSender,     m_lstTime,
                             m_txtThreshold, m_Check2,        m_chkReboot,     m_chkPage,
                             m_chkEmail,     m_chkPageEnd,    m_chkEmailEnd,   m_chkWeekTest};
    order.insert(order.indexOf(m_txtSender) + 1, m_txtMetricsAddress);  // below the mail
    for (std::size_t day = 1; day <= 7; ++day) {
        order << m_Check1[day] << m_txtStart[day] << m_txtStop[day];
    }
    order << m_chkAutoRun << m_chkSessionStart << findChild<QWidget*>("cmdApply")
          << findChild<QWidget*>("cmdClose");
    dvx::setReadingOrder(order);
}

// The threshold's level in dBFS follows what is typed; a key the box refuses is explained.
void PreferencesWindow::connectThresholdLevel() {
    connect(m_txtThreshold, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_lblThresholdDbfs->setText(
            QString::fromStdString(thresholdDbfsText(liveThreshold(text.toStdString()))));
    });
    connect(m_txtThreshold, &QLineEdit::inputRejected, this,
            [this] { m_errors.showError(kThresholdRefused); });
}

void PreferencesWindow::setRelayList(const std::vector<std::string>& items, bool enabled) {
    const bool wasLoading = m_loading;
    m_loading = true;  // the form has already counted "Off" as chosen
    fillList(m_lstAlarmRelay, items);
    m_lstAlarmRelay->setCurrentRow(0);
    m_lstAlarmRelay->setEnabled(enabled);
    m_loading = wasLoading;
}

void PreferencesWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        load();
    }
    SettingsDialog::showEvent(event);
}

void PreferencesWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        m_form.discard();  // gone without saving what Apply did not
    }
    SettingsDialog::hideEvent(event);
}

void PreferencesWindow::load() {
    try {
        const SmtpLoad smtp = readStoredSmtpSettings(m_paths);
        auto file = std::make_unique<ParameterFile>(m_paths, m_diskSync);
        const bool firstStart = file->isEmpty();
        showControls(m_form.open(std::move(file), m_audio.outputDeviceNames(),
                                 m_audio.inputDeviceNames(), smtp.settings, firstStart));
        m_chkSessionStart->setChecked(m_autostart.enabled());
        editsStored();
        m_lblFirstStart->setVisible(firstStart);
        if (firstStart) {
            markEdited();  // proposed, not saved: closing asks
        }
        if (smtp.warning) {
            m_errors.showError(*smtp.warning);
        }
    } catch (const std::exception& error) {
        m_errors.showError(std::string("The preferences cannot be shown: ") + error.what());
        QTimer::singleShot(0, this, [this] {  // nothing open, so nothing to save
            editsStored();
            close();
        });
    }
}

PreferencesWindow::Bindings<QListWidget, std::optional<int>> PreferencesWindow::selectionBindings()
    const {
    using C = PreferencesControls;
    return {{m_lstWaveIn, &C::lstWaveIn},   {m_lstWaveOutNet, &C::lstWaveOutNet},
            {m_lstWaveOut, &C::lstWaveOut}, {m_lstWaveOut2, &C::lstWaveOut2},
            {m_lstAudOut, &C::lstAudOut},   {m_lstAudIn, &C::lstAudIn},
            {m_lstTime, &C::lstTime},       {m_lstAlarmRelay, &C::lstAlarmRelay}};
}

PreferencesWindow::Bindings<QCheckBox, bool> PreferencesWindow::checkBindings() const {
    using C = PreferencesControls;
    return {{m_Check2, &C::Check2},           {m_chkPage, &C::chkPage},
            {m_chkEmail, &C::chkEmail},       {m_chkPageEnd, &C::chkPageEnd},
            {m_chkEmailEnd, &C::chkEmailEnd}, {m_chkWeekTest, &C::chkWeekTest},
            {m_chkReboot, &C::chkReboot},     {m_chkAutoRun, &C::chkAutoRun},
            {m_chkMixer, &C::chkMixer},       {m_chkAutoStart, &C::chkAutoStart}};
}

PreferencesWindow::Bindings<QLineEdit, std::string> PreferencesWindow::textBindings() const {
    using C = PreferencesControls;
    return {{m_txtThreshold, &C::txtThreshold},
            {m_txtRecStopDelay, &C::txtRecStopDelay},
            {m_txtUserName, &C::txtUserName},
            {m_txtPassword, &C::txtPassword},
            {m_txtMailServer, &C::txtMailServer},
            {m_txtSender, &C::txtSender},
            {m_txtMetricsAddress, &C::txtMetricsAddress}};
}

void PreferencesWindow::showControls(const PreferencesControls& c) {
    m_loading = true;
    fillList(m_lstWaveIn, c.inputDevices);
    fillList(m_lstAudIn, c.inputDevices);
    for (QListWidget* list : {m_lstWaveOutNet, m_lstWaveOut, m_lstWaveOut2, m_lstAudOut}) {
        fillList(list, c.outputDevices);
    }
    fillList(m_lstAlarmRelay, c.alarmRelayItems);
    m_lstAlarmRelay->setEnabled(c.alarmRelayEnabled);
    for (const auto& [list, row] : selectionBindings()) {
        selectRow(list, c.*row);
    }
    for (const auto& [box, checked] : checkBindings()) {
        box->setChecked(c.*checked);
    }
    checkButton(m_option2, c.option2);
    checkButton(m_optMode, c.optMode);
    for (std::size_t day = 1; day <= 7; ++day) {
        m_Check1[day]->setChecked(c.Check1[day]);
    }
    showTexts(c);
    m_loading = false;
}

void PreferencesWindow::showTexts(const PreferencesControls& c) {
    for (const auto& [box, text] : textBindings()) {
        box->setText(qt(c.*text));
    }
    for (std::size_t day = 1; day <= 7; ++day) {
        m_txtStart[day]->setText(qt(c.txtStart[day]));
        m_txtStop[day]->setText(qt(c.txtStop[day]));
    }
}

PreferencesControls PreferencesWindow::gather() const {
    PreferencesControls c;
    for (const auto& [list, row] : selectionBindings()) {
        c.*row = selectedRow(list);
    }
    for (const auto& [box, checked] : checkBindings()) {
        c.*checked = box->isChecked();
    }
    for (const auto& [box, text] : textBindings()) {
        c.*text = plain(box);
    }
    c.option2 = checkedButton(m_option2);
    c.optMode = checkedButton(m_optMode);
    for (std::size_t day = 1; day <= 7; ++day) {
        c.Check1[day] = m_Check1[day]->isChecked();
        c.txtStart[day] = plain(m_txtStart[day]);
        c.txtStop[day] = plain(m_txtStop[day]);
    }
    return c;
}

bool PreferencesWindow::applyEdits() {
    clearRefusedMarks(this);
    try {
        if (!m_form.isOpen()) {  // after an Apply: the file again, the boxes as they are
            m_form.open(std::make_unique<ParameterFile>(m_paths, m_diskSync),
                        m_audio.outputDeviceNames(), m_audio.inputDeviceNames(),
                        readStoredSmtpSettings(m_paths).settings);
        }
    } catch (const std::exception& error) {
        m_errors.showError(std::string("The preferences cannot be saved: ") + error.what());
        return false;
    }
    PreferencesControls controls = gather();
    const PreferencesCloseResult result = m_form.close(controls);
    if (result.outcome != PreferencesCloseResult::Outcome::Saved) {
        if (!result.control.empty()) {
            markRefused(findChild<QWidget*>(QString::fromStdString(result.control)),
                        QString::fromStdString(result.message));
        }
        m_errors.showError(result.message);
        return false;
    }
    m_loading = true;  // the boxes show what was stored: a blank threshold shows "0"
    showTexts(controls);
    m_loading = false;
    return applySessionStart();
}

// Writes or removes the autostart entry when the box says otherwise than the file. A failure
// keeps the window open with the box marked, so Apply can try again.
bool PreferencesWindow::applySessionStart() {
    const bool wanted = m_chkSessionStart->isChecked();
    if (wanted == m_autostart.enabled()) {
        return true;
    }
    try {
        wanted ? m_autostart.enable() : m_autostart.disable();
        return true;
    } catch (const std::exception& error) {
        const std::string message =
            std::string("Starting with the desktop session could not be changed: ") + error.what();
        markRefused(m_chkSessionStart, QString::fromStdString(message));
        m_errors.showError(message);
        return false;
    }
}

}  // namespace dvx
