#include "library/spot_files_window.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>
#include <utility>

#include "library/delete_dialogs.h"
#include "library/library_controls.h"
#include "library/normalize_window.h"
#include "library/specific_file_window.h"
#include "notify/window_helpers.h"
#include "viewers/error_reporter.h"
#include "viewers/printout_painter.h"

namespace dvx {
namespace {

// The CD copier has no window in this build yet: its entry is shown, disabled.
constexpr bool kLaterWindowsReady = false;

struct BoxSpec {
    const char* objectName;
    const char* labelName;
    const char* caption;
    int maxLength;
};

// In the order of SpotBox. The date boxes take a four-digit year, which is stored as two.
constexpr BoxSpec kBoxSpecs[kSpotBoxCount] = {
    {"txtName", "lblName", "Name", 25},         {"txtTalent", "lblTalent", "Talent", 3},
    {"txtOutcue", "lblOutcue", "Outcue", 25},   {"txtLength", "lblLength", "Length", 7},
    {"txtEOM", "lblEOM", "EOM point", 7},       {"txtStartDate", "lblStartDate", "Start", 10},
    {"txtStopDate", "lblStopDate", "Stop", 10}, {"txtRecordDate", "lblRecordDate", "Date", 8},
    {"txtSpotCat", "Label4", "Category", 1},
};

}  // namespace

SpotFilesWindow::SpotFilesWindow(RecordFile& Spotfile, const Paths& paths,
                                 const Parameters& parameters, LibraryDevices devices,
                                 ErrorReporter& errors, QWidget* parent)
    : LibraryDialog(parent),
      m_clock(devices.clock),
      m_soundFiles(devices.soundFiles),
      m_paths(paths),
      m_errors(errors) {
    setObjectName("frmSpotFiles");
    setWindowTitle("SpotFiles");
    buildControls();
    m_form = std::make_unique<SpotFilesForm>(Spotfile, paths, parameters, devices, errors,
                                             static_cast<SpotFilesView&>(*this), *m_sound);
}

SpotFilesWindow::~SpotFilesWindow() {
    // The windows this one opened go first: an import drops its transfer and frees its number
    // through the form and the recording, which are still whole.
    for (const QPointer<QWidget>& window :
         {m_importWindow, m_specificFileWindow, m_normalizeWindow}) {
        delete window.data();
    }
    // The recording goes next (dropping an unfinished one through the form while both are
    // whole), then the controls after the form: nothing they signal or filter on the way may
    // reach it.
    if (m_form) {
        m_form->setRecording(nullptr);
    }
    m_recording.reset();
    silenceControls();
}

void SpotFilesWindow::buildControls() {
    m_list = makeCatalogueList(this, "lstSoundFile", "Courier", 34,
                               [this](int number) { m_form->select(number); });
    m_list->setAccessibleName("Spots");
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (m_form->selectedNumber() != 0) {
            m_popup->popup(m_list->viewport()->mapToGlobal(at));
        }
    });

    m_number = new QLineEdit(this);
    m_number->setObjectName("txtNumber");
    m_number->setAccessibleName("Spot number");
    m_number->setToolTip("Type a spot number and press Enter to select it");
    m_number->setMaxLength(5);
    m_number->setMaximumWidth(QFontMetrics(m_number->font()).horizontalAdvance("0000000"));
    m_number->installEventFilter(this);
    connect(m_number, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_form->numberEdited(toStoredText(text)); });
    connect(m_number, &QLineEdit::returnPressed, this, [this] { m_form->numberEntered(); });
    m_numberLabel = makeLabel(this, "lblNumber");

    auto* boxes = new QGridLayout;
    for (std::size_t i = 0; i < kSpotBoxCount; ++i) {
        const BoxSpec& spec = kBoxSpecs[i];
        const auto box = static_cast<SpotBox>(i);
        const auto [label, edit] = addLabelledBox(
            this, boxes, static_cast<int>(i), spec.objectName, spec.labelName, spec.caption,
            spec.maxLength, [this, box](const std::string& text) { m_form->boxEdited(box, text); });
        edit->installEventFilter(this);
        m_boxes[i] = edit;
        if (box == SpotBox::StartDate) {
            m_startLabel = label;
        } else if (box == SpotBox::StopDate) {
            m_stopLabel = label;
        }
    }
    // "Stop" is also the caption of the stop button: the date boxes say what they hold.
    m_boxes[static_cast<std::size_t>(SpotBox::StartDate)]->setAccessibleName("Start date");
    m_boxes[static_cast<std::size_t>(SpotBox::StopDate)]->setAccessibleName("Stop date");
    m_boxes[static_cast<std::size_t>(SpotBox::RecordDate)]->setReadOnly(true);
    for (QLabel* label : {m_startLabel, m_stopLabel}) {
        label->installEventFilter(this);
        label->setCursor(Qt::PointingHandCursor);
    }
    m_startLabel->setToolTip("Click: one day earlier.  Right click: one day later.");
    m_stopLabel->setToolTip("Click: till further notice (TFN)");

    m_calendar = new QCalendarWidget(this);
    m_calendar->setObjectName("MonthView1");
    m_calendar->setAccessibleName("Calendar");
    m_calendar->setDateRange(QDate(1930, 1, 1), QDate(2029, 12, 31));  // two-digit years
    m_calendar->hide();
    // The calendar's own month menu is heard by this name.
    for (QMenu* months : m_calendar->findChildren<QMenu*>()) {
        months->setAccessibleName("Months");
    }
    for (QWidget* part : m_calendar->findChildren<QWidget*>()) {
        part->installEventFilter(this);
    }
    const auto picked = [this](QDate date) {
        m_form->calendarPicked(CalendarDate{date.year(), date.month(), date.day()});
    };
    connect(m_calendar, &QCalendarWidget::clicked, this, picked);
    connect(m_calendar, &QCalendarWidget::activated, this, picked);

    m_sound = std::make_unique<SoundControls>(this, "lblTime");
    m_sound->connectTo({[this] { m_form->play(); }, [this] { m_form->pause(); },
                        [this] { m_form->stop(); }, [this] { m_form->eomClicked(); },
                        [this] { m_form->recordClicked(); },
                        [this](std::int64_t ms) { m_form->trackBarMoved(ms); },
                        [this](bool checked) { m_form->autoStartToggled(checked); }});
    QPushButton* eom = m_sound->button(LibraryButton::EOM);
    eom->setToolTip("Marks the end of message; any key does the same");
    eom->installEventFilter(this);
    m_overwrite = new QCheckBox("&Overwrite Existing File", this);
    m_overwrite->setObjectName("Check2");
    connect(m_overwrite, &QCheckBox::toggled, this, [this](bool checked) {
        if (!m_programSets) {
            m_form->overwriteToggled(checked);
        }
    });
    m_gain = new QSlider(Qt::Horizontal, this);
    m_gain->setObjectName("Slider");
    m_gain->setAccessibleName("Recording gain");
    m_gain->setRange(0, 16384);
    m_gain->setValue(16384);  // unity
    connect(m_gain, &QSlider::valueChanged, this, [this](int value) {
        if (m_form) {
            m_form->gainChanged(value);
        }
    });
    m_level = makeLabel(this, "Label3");
    m_timeRemaining = makeLabel(this, "Label1");
    // The recording is wired in separately; until then its controls only show their settings.
    for (QWidget* control : recordingControls()) {
        control->setEnabled(false);
    }

    // Made after the recording controls: Tab reaches it last, as it is read.
    auto* closeButton = makeButton(this, "cmdClose", "&Close");
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(m_number);
    numberRow->addWidget(m_numberLabel, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(m_list, 1);
    left->addLayout(numberRow);
    auto* right = new QVBoxLayout;
    right->addLayout(boxes);
    right->addWidget(m_calendar);
    right->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right);

    QHBoxLayout* player = m_sound->playerRow();
    auto* recorder = new QHBoxLayout;
    for (QWidget* widget : recordingControls()) {
        recorder->addWidget(widget);
    }
    recorder->addWidget(m_level);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_timeRemaining, 1);
    bottom->addWidget(closeButton);

    auto* menuBar = new QMenuBar(this);
    buildMenus(menuBar);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(top, 1);
    layout->addLayout(player);
    layout->addLayout(recorder);
    layout->addLayout(bottom);
    resize(820, 460);
}

void SpotFilesWindow::buildMenus(QMenuBar* menuBar) {
    QMenu* files = menuBar->addMenu("&Files");
    files->setObjectName("mnuFiles");
    connect(addEntry(files, "Export", "mnuExport"), &QAction::triggered, this,
            &SpotFilesWindow::exportChosen);
    connect(addEntry(files, "Print", "mnuPrint"), &QAction::triggered, this,
            &SpotFilesWindow::printOnSystemPrinter);
    QMenu* index = files->addMenu("File Index");
    index->setObjectName("mnuFileIndex");
    connect(addEntry(index, "View Index that may need updating", "mnuFileIndexView"),
            &QAction::triggered, this, [this] { m_form->viewFileIndex(); });
    connect(addEntry(index, "Delete File Index", "mnuFileIndexDelete"), &QAction::triggered, this,
            [this] { m_form->deleteFileIndex(); });
    connect(addEntry(files, "Exit", "mnuExit"), &QAction::triggered, this, &QWidget::close);

    const auto laterEntry = [menuBar](const char* caption, const char* name) {
        QAction* entry = menuBar->addAction(caption);
        entry->setObjectName(name);
        entry->setEnabled(kLaterWindowsReady);
        return entry;
    };
    // Enabled once the rotation manager is attached.
    m_rotationManagerEntry = laterEntry("Rotation File Ma&nager", "mnuRotationFileManager");
    m_rotationManagerEntry->setEnabled(false);
    connect(m_rotationManagerEntry, &QAction::triggered, this, [this] {
        if (m_openRotationManager) {
            m_openRotationManager();
        }
    });
    // Enabled once the import is attached.
    m_specificFileEntry = laterEntry("Record a Specific Fi&le", "SpecificFile");
    connect(m_specificFileEntry, &QAction::triggered, this, &SpotFilesWindow::openSpecificFile);
    m_importEntry = laterEntry("I&mportFile", "ImportFile");
    connect(m_importEntry, &QAction::triggered, this, &SpotFilesWindow::openImport);
    laterEntry("CDR&ip", "mnuCDRip");

    QMenu* view = menuBar->addMenu("&View");
    view->setObjectName("mnuView");
    connect(addEntry(view, "Names", "mnuViewName"), &QAction::triggered, this,
            [this] { m_form->setView(SpotListView::ByName); });
    connect(addEntry(view, "Number", "mnuViewNumber"), &QAction::triggered, this,
            [this] { m_form->setView(SpotListView::ByNumber); });
    connect(addEntry(view, "Spot&List", "SpotList"), &QAction::triggered, this,
            [this] { m_form->relist(SpotListView::ByName); });
    connect(addEntry(view, "Spot&Number", "SpotNumber"), &QAction::triggered, this,
            [this] { m_form->relist(SpotListView::ByNumber); });
    m_categories = view->addMenu("SpotCat");
    m_categories->setObjectName("SpotCategories");
    connect(m_categories, &QMenu::aboutToShow, this, &SpotFilesWindow::fillCategoryMenu);

    m_delete = menuBar->addAction("&Delete");
    m_delete->setObjectName("mnuDelete");
    m_delete->setEnabled(false);  // until the deletion is attached
    connect(m_delete, &QAction::triggered, this, [this] {
        if (m_form->selectedNumber() != 0) {
            askToDelete(m_deletion->ask(m_form->selectedNumber()));
        }
    });

    m_popup = new QMenu(this);
    m_popup->setObjectName("mnuHiddenPopup");
    m_popup->setAccessibleName("Spot list menu");
    connect(addEntry(m_popup, "Play", "mnuPopupPlay"), &QAction::triggered, this,
            [this] { m_form->play(); });
    connect(addEntry(m_popup, "Stop", "mnuPopupStop"), &QAction::triggered, this,
            [this] { m_form->stop(); });
    connect(addEntry(m_popup, "Refresh", "mnuPopupRefresh"), &QAction::triggered, this,
            [this] { m_form->relist(SpotListView::ByName); });
    connect(addEntry(m_popup, "Send To", "mnuPopupSendTo"), &QAction::triggered, this,
            [this] { m_form->sendTo(); });
    m_popupDelete = addEntry(m_popup, "Delete", "mnuPopupDelete", false);
    connect(m_popupDelete, &QAction::triggered, m_delete, &QAction::trigger);
    connect(addEntry(m_popup, "Normalize", "mnuPopupNormalize"), &QAction::triggered, this,
            &SpotFilesWindow::openNormalize);
}

// "SpotCat": every entry or those of one category, from the categories in use now.
void SpotFilesWindow::fillCategoryMenu() {
    m_categories->clear();
    connect(addEntry(m_categories, "All", "SpotCap_All"), &QAction::triggered, this,
            [this] { m_form->LoadSpotFiles(); });
    for (const char letter : m_form->categoriesInUse()) {
        const QString shown = fromStoredText(std::string(1, letter));
        QAction* entry = m_categories->addAction(
            QString("Category %1").arg(shown == "&" ? QString("&&") : shown));
        entry->setObjectName("SpotCap_" + shown);
        connect(entry, &QAction::triggered, this, [this, letter] { m_form->listCategory(letter); });
    }
}

void SpotFilesWindow::attachRecording(std::unique_ptr<SpotFilesRecording> recording) {
    m_form->setRecording(recording.get());
    m_recording = std::move(recording);
    for (QWidget* control : recordingControls()) {
        control->setEnabled(m_recording != nullptr);
    }
}

std::vector<QWidget*> SpotFilesWindow::recordingControls() const {
    return {m_sound->button(LibraryButton::Record), m_sound->autoStart(), m_overwrite, m_gain};
}

void SpotFilesWindow::opening() {
    const LocalDateTime today = m_clock.now();
    m_calendar->setSelectedDate(QDate(today.year, today.month, today.day));
    m_form->open();
}

void SpotFilesWindow::attachImport(ImportWindows windows) {
    m_importWindows = std::move(windows);
    m_importEntry->setEnabled(static_cast<bool>(m_importWindows.importFile));
    m_specificFileEntry->setEnabled(static_cast<bool>(m_importWindows.reserveSpecificFile));
}

void SpotFilesWindow::attachRotationManager(std::function<QWidget*()> open) {
    m_openRotationManager = std::move(open);
    m_rotationManagerEntry->setEnabled(static_cast<bool>(m_openRotationManager));
}

bool SpotFilesWindow::importWindowOpen() const {
    return m_importWindow && m_importWindow->isVisible();
}

void SpotFilesWindow::openImport() {
    if (!m_importWindow) {
        m_importWindow = m_importWindows.importFile(this);
    }
    m_importWindow->show();
    m_importWindow->raise();
    m_importWindow->activateWindow();
}

void SpotFilesWindow::openSpecificFile() {
    if (m_specificFileWindow) {
        m_specificFileWindow->raise();
        return;
    }
    auto* window = new SpecificFileWindow(
        [this](std::string_view text) {
            return m_importWindows.reserveSpecificFile(text, importWindowOpen());
        },
        this, [this](std::string_view text) { deleteTypedSpot(text); });
    m_specificFileWindow = window;
    window->open();
}

void SpotFilesWindow::attachDeletion(std::unique_ptr<SpotDeletion> deletion) {
    m_deletion = std::move(deletion);
    m_delete->setEnabled(m_deletion != nullptr);
    m_popupDelete->setEnabled(m_deletion != nullptr && m_delete->isVisible());
}

void SpotFilesWindow::deleteTypedSpot(std::string_view txtFileNumber) {
    if (m_deletion) {
        askToDelete(m_deletion->askTyped(txtFileNumber));
    }
}

void SpotFilesWindow::askToDelete(const std::optional<SpotDeleteQuestion>& question) {
    if (!question) {
        return;  // not an active spot: the error window says so
    }
    auto* dialog = new SpotDeleteDialog(
        *question, [this](int number) { deleteSpot(number); }, this);
    dialog->open();
}

void SpotFilesWindow::deleteSpot(int number) {
    const int top = m_list->verticalScrollBar()->value();
    if (!m_deletion->remove(number)) {
        return;
    }
    m_form->spotDeleted(number);
    m_list->verticalScrollBar()->setValue(top);
    if (QListWidgetItem* selected = m_list->currentItem()) {
        m_list->scrollToItem(selected, QAbstractItemView::EnsureVisible);
    }
}

void SpotFilesWindow::openNormalize() {
    const std::optional<std::filesystem::path> path = m_form->normalizePath();
    if (!path) {
        return;
    }
    if (m_normalizeWindow) {
        if (qobject_cast<NormalizeWindow*>(m_normalizeWindow.data())->form().isWorking()) {
            m_errors.showError("A spot is being normalised; the next can start once it is done.");
            return;
        }
        delete m_normalizeWindow.data();  // the window of an earlier spot
    }
    auto* window = new NormalizeWindow(m_clock, m_soundFiles, m_errors, *path, this);
    m_normalizeWindow = window;
    window->show();
}

void SpotFilesWindow::closing() {
    // The import and specific-file windows close with this one; the import drops its transfer.
    for (const QPointer<QWidget>& window : {m_importWindow, m_specificFileWindow}) {
        if (window) {
            window->close();
        }
    }
    m_form->close();
}

bool SpotFilesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!m_form) {
        return LibraryDialog::eventFilter(watched, event);  // still being built
    }
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonRelease && (watched == m_startLabel || watched == m_stopLabel)) {
        const Qt::MouseButton pressed = static_cast<QMouseEvent*>(event)->button();
        if (watched == m_stopLabel && pressed == Qt::LeftButton) {
            m_form->stopLabelClicked();
        } else if (watched == m_startLabel &&
                   (pressed == Qt::LeftButton || pressed == Qt::RightButton)) {
            m_form->startLabelReleased(pressed == Qt::RightButton);
        }
        return true;
    }
    if (m_calendar->isAncestorOf(qobject_cast<QWidget*>(watched))) {
        const bool rightRelease = type == QEvent::MouseButtonRelease &&
                                  static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
        const bool escape =
            type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
        if (rightRelease || escape) {
            m_calendar->hide();
            return true;
        }
        return LibraryDialog::eventFilter(watched, event);
    }
    if (watched == m_sound->button(LibraryButton::EOM) && type == QEvent::KeyPress) {
        // Any key marks, as a click would; Tab still moves on.
        auto* key = static_cast<QKeyEvent*>(event);
        const int code = key->key();
        if (code == Qt::Key_Tab || code == Qt::Key_Backtab || code == Qt::Key_Shift ||
            code == Qt::Key_Control || code == Qt::Key_Alt || code == Qt::Key_Meta ||
            key->isAutoRepeat()) {
            return LibraryDialog::eventFilter(watched, event);
        }
        m_sound->button(LibraryButton::EOM)->click();
        return true;
    }
    if (watched == m_number && type == QEvent::MouseButtonDblClick) {
        m_form->numberDoubleClicked();
        return true;
    }
    if (watched == m_list && type == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (m_delete->isEnabled() && m_delete->isVisible()) {
            m_delete->trigger();
        }
        return true;
    }
    for (std::size_t i = 0; i < kSpotBoxCount; ++i) {
        if (watched == m_boxes[i]) {
            return boxEvent(static_cast<SpotBox>(i), event) ||
                   LibraryDialog::eventFilter(watched, event);
        }
    }
    return LibraryDialog::eventFilter(watched, event);
}

// Keys move the focus along the boxes; clicks pick the calendar's target; double clicks empty
// the name and the outcue, and open the calendar on a date box. Returns whether it was used.
bool SpotFilesWindow::boxEvent(SpotBox box, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (const auto key = boxKey(event)) {
                focusBox(m_form->keyInBox(box, *key));
                return true;
            }
            return false;
        case QEvent::MouseButtonPress:
            m_form->dateBoxClicked(box);
            return false;
        case QEvent::MouseButtonDblClick:
            if (box == SpotBox::Name || box == SpotBox::Outcue) {
                m_form->boxDoubleClicked(box);
                return true;
            }
            if (box == SpotBox::StartDate || box == SpotBox::StopDate) {
                m_form->dateBoxDoubleClicked(box);
                return true;
            }
            return false;
        default:
            return false;
    }
}

void SpotFilesWindow::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void SpotFilesWindow::showList(const std::vector<SpotListLine>& lines) {
    showListLines(m_list, lines, &SpotListLine::number);
}

void SpotFilesWindow::selectLine(int number) {
    markListItem(m_list, number, true);
}

void SpotFilesWindow::showBox(SpotBox box, const std::string& text) {
    m_boxes[static_cast<std::size_t>(box)]->setText(fromStoredText(text));
}

void SpotFilesWindow::showNumberBox(const std::string& text) {
    m_number->setText(fromStoredText(text));
}

void SpotFilesWindow::showNumberLabel(const std::string& text) {
    m_numberLabel->setText(QString::fromStdString(text));
}

void SpotFilesWindow::focusBox(SpotBox box) {
    m_boxes[static_cast<std::size_t>(box)]->setFocus();
}

void SpotFilesWindow::showTimeRemaining(const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (m_timeRemaining->text() != shown) {
        m_timeRemaining->setText(shown);
    }
}

void SpotFilesWindow::showLevel(const std::string& text) {
    m_level->setText(QString::fromStdString(text));
}

void SpotFilesWindow::showCalendar(bool visible) {
    m_calendar->setVisible(visible);
    if (visible) {
        m_calendar->setFocus();
    }
}

void SpotFilesWindow::setDeleteAvailable(bool available) {
    m_delete->setVisible(available);
    m_popupDelete->setEnabled(available && m_deletion != nullptr);
}

void SpotFilesWindow::setOverwriteChecked(bool checked) {
    const bool before = std::exchange(m_programSets, true);
    m_overwrite->setChecked(checked);
    m_programSets = before;
}

std::string SpotFilesWindow::todayText() const {
    const LocalDateTime today = m_clock.now();
    return toStoredText(QLocale::system().toString(QDate(today.year, today.month, today.day),
                                                   QLocale::ShortFormat));
}

void SpotFilesWindow::printOnSystemPrinter() {
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (!printerInfo.isNull()) {
        QPrinter printer(printerInfo);
        printTo(printer);
        return;
    }
    const std::filesystem::path pdf = m_paths.dataFolder() / "SpotFiles.pdf";
    if (exportTo(QString::fromStdString(pdf.string()))) {
        m_errors.showError("No printer is set up: the list was printed to the file " +
                           pdf.string() + ".");
    }
}

void SpotFilesWindow::exportChosen() {
    const QString suggested =
        QString::fromStdString((m_paths.dataFolder() / "SpotFiles.pdf").string());
    QString path = QFileDialog::getSaveFileName(this, "Export", suggested, "PDF documents (*.pdf)");
    if (path.isEmpty()) {
        return;
    }
    if (!path.endsWith(".pdf", Qt::CaseInsensitive)) {
        path += ".pdf";
    }
    exportTo(path);
}

bool SpotFilesWindow::exportTo(const QString& path) {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return printTo(printer);
}

bool SpotFilesWindow::printTo(QPrinter& printer) {
    std::vector<PrintLine> lines;
    try {
        lines = m_form->printout(todayText());
    } catch (const std::exception& error) {
        m_errors.showError(error.what());
        return false;
    }
    if (!paintPrintout(printer, lines)) {
        m_errors.showError("The printer could not start the print job.");
        return false;
    }
    return true;
}

}  // namespace dvx
