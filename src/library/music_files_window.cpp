#include "library/music_files_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "library/library_controls.h"
#include "notify/window_helpers.h"
#include "ui/control_names.h"

namespace dvx {
namespace {

struct BoxSpec {
    const char* objectName;
    const char* caption;
    int maxLength;  // 0: no limit
};

// In the order of MusicBox; the labels are `Label`(0..13). Length and EOM show an hour and
// more as " 1:02:05", though a typed time is minutes and seconds.
constexpr BoxSpec kBoxSpecs[kMusicBoxCount] = {
    {"txtName", "Title", 30},       {"txtArtist", "Artist", 25},
    {"txtAlbum", "Album", 25},      {"txtNumber", "Number", 4},
    {"txtCut", "Cut", 2},           {"txtLength", "Length", 8},
    {"txtEOM", "EOM", 8},           {"txtIntro", "Intro", 0},
    {"txtLicense", "License", 6},   {"txtComputer", "Comp", 1},
    {"txtDrive", "Drive", 1},       {"txtStyleTempo", "Style/Tempo", 10},
    {"txtCategory", "Category", 2}, {"txtClass", "Class", 1},
};

QString indexed(const char* name, int index) {
    return QString("%1_%2").arg(name).arg(index);
}

}  // namespace

MusicFilesWindow::MusicFilesWindow(MusicFilesForm::Files files, const Parameters& parameters,
                                   LibraryDevices devices, std::unique_ptr<RecordingAudio> recorder,
                                   ErrorReporter& errors, QWidget* parent)
    : LibraryDialog(parent), m_recorder(std::move(recorder)) {
    setObjectName("frmTune");
    setWindowTitle("Music Files");
    buildControls();
    m_form = std::make_unique<MusicFilesForm>(files, parameters, devices, *m_recorder, errors,
                                              static_cast<MusicFilesView&>(*this), *m_sound);
}

MusicFilesWindow::~MusicFilesWindow() {
    // The import window goes first (it reports to the form), then the form (dropping an
    // unfinished recording while its recorder is whole), then the controls: nothing they
    // signal or filter on the way may reach it.
    delete m_importWindow.data();
    m_form.reset();
    silenceControls();
}

void MusicFilesWindow::buildControls() {
    m_tunes = makeCatalogueList(this, "lstTune", "Courier New", 70,
                                [this](int number) { m_form->select(number); });
    m_tunes->setAccessibleName("Tunes");
    m_tunes->installEventFilter(this);
    m_number = makeLabel(this, "Label1");

    auto* boxes = new QGridLayout;
    for (std::size_t i = 0; i < kMusicBoxCount; ++i) {
        const BoxSpec& spec = kBoxSpecs[i];
        const auto box = static_cast<MusicBox>(i);
        const int row = static_cast<int>(i);
        QLineEdit* edit =
            addLabelledBox(this, boxes, row, spec.objectName, indexed("Label", row), spec.caption,
                           spec.maxLength,
                           [this, box](const std::string& text) { m_form->boxEdited(box, text); })
                .box;
        edit->installEventFilter(this);
        m_boxes[i] = edit;
    }
    // "EOM" is also the caption of the button that marks it.
    m_boxes[static_cast<std::size_t>(MusicBox::EOM)]->setAccessibleName("EOM point");
    m_date = new QLineEdit(this);
    m_date->setObjectName("txtDate");
    m_date->setMaxLength(10);
    m_date->setReadOnly(true);
    m_dateLabel = newLabel("Recorded:", m_date);
    m_dateLabel->setObjectName("Label3");
    boxes->addWidget(m_dateLabel, static_cast<int>(kMusicBoxCount), 0);
    boxes->addWidget(m_date, static_cast<int>(kMusicBoxCount), 1);

    // The status is shown, not edited: a new recording or import is "Active".
    auto* statusRow = new QHBoxLayout;
    const char* const statusCaptions[] = {"Active", "Resting", "Archive"};
    for (int i = 0; i < 3; ++i) {
        m_status[i] = new QRadioButton(statusCaptions[i], this);
        m_status[i]->setObjectName(QString("Opt%1").arg(i + 1));
        m_status[i]->setAutoExclusive(false);
        m_status[i]->setEnabled(false);
        statusRow->addWidget(m_status[i]);
    }

    m_categories = makeCatalogueList(this, "list1", "Courier New", 16);
    m_categories->setToolTip("Double-click a category to put its letter in the category box");
    QLabel* categoriesLabel = newLabel("Categories", m_categories);
    categoriesLabel->setObjectName("lblCategories");
    connect(m_categories, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_form->categoryDoubleClicked(item->data(Qt::UserRole).toInt());
    });

    m_sound = std::make_unique<SoundControls>(this, "Label2");
    m_sound->connectTo({[this] { m_form->play(); }, [this] { m_form->pause(); },
                        [this] { m_form->stop(); }, [this] { m_form->eomClicked(); },
                        [this] { m_form->recordClicked(); },
                        [this](std::int64_t ms) { m_form->trackBarMoved(ms); },
                        [this](bool checked) { m_form->autoStartToggled(checked); }});
    auto* closeButton = makeButton(this, "cmdClose", "&Close");
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto* left = new QVBoxLayout;
    left->addWidget(m_tunes, 1);
    left->addWidget(m_number);
    auto* right = new QVBoxLayout;
    right->addLayout(boxes);
    right->addLayout(statusRow);
    right->addWidget(categoriesLabel);
    right->addWidget(m_categories, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right);
    QHBoxLayout* player = m_sound->playerRow();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_sound->button(LibraryButton::Record));
    bottom->addWidget(m_sound->autoStart());
    bottom->addStretch(1);
    bottom->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    buildMenus(layout);
    layout->addLayout(top, 1);
    layout->addLayout(player);
    layout->addLayout(bottom);
    resize(1000, 560);
}

void MusicFilesWindow::buildMenus(QLayout* layout) {
    auto* menuBar = new QMenuBar(this);
    QMenu* files = menuBar->addMenu("&Files");
    files->setObjectName("mnuFiles");
    addEntry(files, "Export", "mnuExport", false);  // nothing to export yet
    connect(addEntry(files, "Exit", "mnuExit"), &QAction::triggered, this, &QWidget::close);

    QMenu* views = menuBar->addMenu("&View");
    views->setObjectName("mnuViews");
    const std::pair<const char*, TuneView> viewEntries[] = {
        {"Title", TuneView::Title}, {"Artist", TuneView::Artist}, {"Length", TuneView::Length}};
    for (const auto& [caption, view] : viewEntries) {
        const QString name = indexed("mnuView", static_cast<int>(view));
        QAction* entry = views->addAction(caption);
        entry->setObjectName(name);
        connect(entry, &QAction::triggered, this, [this, view] { m_form->setView(view); });
    }

    // The deletion dialog, the import window and the CD copier come later: shown, disabled.
    m_delete = menuBar->addAction("&Delete");
    m_delete->setObjectName("mnuDelete");
    m_delete->setEnabled(false);
    connect(m_delete, &QAction::triggered, this, &MusicFilesWindow::openDeletion);
    m_import = menuBar->addAction("I&mport");
    m_import->setObjectName("mnuImport");
    m_import->setEnabled(false);
    connect(m_import, &QAction::triggered, this, [this] {
        if (!m_importWindow && !m_form->newEntry()) {
            return;  // a recording is under way
        }
        if (!m_importWindow) {
            m_importWindow = m_makeImport(this);
        }
        m_importWindow->show();
        m_importWindow->raise();
        m_importWindow->activateWindow();
    });
    QAction* rip = menuBar->addAction("R&ip");
    rip->setObjectName("mnuRip");
    rip->setEnabled(false);
    layout->setMenuBar(menuBar);
}

void MusicFilesWindow::attachImport(ImportWindowMaker makeImport) {
    m_makeImport = std::move(makeImport);
    m_import->setEnabled(static_cast<bool>(m_makeImport));
}

void MusicFilesWindow::closing() {
    if (m_importWindow) {
        m_importWindow->close();  // an import under way is dropped
    }
    m_form->close();
}

void MusicFilesWindow::attachDeletion(EntryWindow openDeletion) {
    m_openDeletion = std::move(openDeletion);
    m_delete->setEnabled(static_cast<bool>(m_openDeletion));
}

void MusicFilesWindow::openDeletion() {
    std::optional<MusicFilesForm::Entry> entry;
    try {
        entry = m_form->deletion();
    } catch (const std::exception&) {
        // The tune cannot be read: there is nothing to delete through it.
    }
    if (entry && m_openDeletion) {
        m_openDeletion(*entry);
    }
}

bool MusicFilesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!m_form) {
        return LibraryDialog::eventFilter(watched, event);  // still being built
    }
    if (watched == m_tunes && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (m_delete->isEnabled()) {
            openDeletion();
        }
        return true;
    }
    const auto box = std::find(m_boxes.begin(), m_boxes.end(), watched);
    if (box != m_boxes.end()) {
        const auto which = static_cast<MusicBox>(box - m_boxes.begin());
        return boxEvent(which, event) || LibraryDialog::eventFilter(watched, event);
    }
    return LibraryDialog::eventFilter(watched, event);
}

// Up, Down and Enter move the focus along the boxes; a double click empties the title.
// Returns whether the event was used.
bool MusicFilesWindow::boxEvent(MusicBox box, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && box == MusicBox::Title &&
        !m_boxes[0]->isReadOnly()) {
        m_form->titleDoubleClicked();
        return true;
    }
    if (const auto key = boxKey(event)) {
        m_boxes[static_cast<std::size_t>(m_form->keyInBox(box, *key))]->setFocus();
        return true;
    }
    return false;
}

void MusicFilesWindow::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void MusicFilesWindow::showList(const std::vector<ListLine>& lines) {
    showListLines(m_tunes, lines, &ListLine::itemData);
}

void MusicFilesWindow::selectLine(int number) {
    markListItem(m_tunes, number, false);
}

void MusicFilesWindow::showCategories(const std::vector<ListLine>& lines) {
    showListLines(m_categories, lines, &ListLine::itemData);
}

void MusicFilesWindow::showBox(MusicBox box, const std::string& text) {
    m_boxes[static_cast<std::size_t>(box)]->setText(fromStoredText(text));
}

void MusicFilesWindow::showDate(const std::string& text, bool labelVisible) {
    m_date->setText(fromStoredText(text));
    m_dateLabel->setVisible(labelVisible);
}

void MusicFilesWindow::showNumberLabel(const std::string& text) {
    m_number->setText(QString::fromStdString(text));
}

void MusicFilesWindow::showStatus(char Status) {
    for (int i = 0; i < 3; ++i) {
        m_status[i]->setChecked(Status == '1' + i);
    }
}

void MusicFilesWindow::setBoxesEditable(bool editable) {
    for (QLineEdit* box : m_boxes) {
        box->setReadOnly(!editable);
    }
}

}  // namespace dvx
