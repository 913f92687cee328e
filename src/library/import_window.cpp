#include "library/import_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "library/delete_dialogs.h"
#include "library/specific_file_window.h"
#include "notify/window_helpers.h"
#include "ui/control_names.h"
#include "ui/tab_order.h"

namespace dvx {
namespace {

QPushButton* makeButton(QWidget* parent, const char* objectName, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);  // Enter belongs to the boxes
    return button;
}

QLabel* makeLabel(QWidget* parent, const char* objectName, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

QString styleFor(Rgb colour) {
    const bool dark = colour.red * 299 + colour.green * 587 + colour.blue * 114 < 128000;
    return QString("background-color: rgb(%1, %2, %3); color: %4;")
        .arg(colour.red)
        .arg(colour.green)
        .arg(colour.blue)
        .arg(dark ? "white" : "black");
}

int clampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

QString fromPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

ImportWindow::ImportWindow(ImportParts parts, std::unique_ptr<ImportTarget> target, QWidget* parent)
    : QDialog(parent), m_target(std::move(target)) {
    setObjectName("frmImportFile");
    setWindowTitle("Import File");
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    m_form = std::make_unique<ImportForm>(parts, *m_target, static_cast<ImportView&>(*this));
}

ImportWindow::~ImportWindow() {
    // The form goes while the controls it shows on are whole; nothing they signal on the way
    // may reach it.
    for (QObject* child : findChildren<QObject*>()) {
        child->removeEventFilter(this);
        child->blockSignals(true);
    }
    m_form.reset();
}

void ImportWindow::buildControls() {
    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folders->setRootPath("/");
    m_dir = new QTreeView(this);
    m_dir->setObjectName("Dir1");
    m_dir->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column) {
        m_dir->hideColumn(column);
    }
    m_dir->header()->hide();
    connect(m_dir->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!m_programSets && current.isValid()) {
                    m_form->folderChosen(m_folders->filePath(current).toStdString());
                }
            });

    m_files = new QListWidget(this);
    m_files->setObjectName("File1");
    m_files->setContextMenuPolicy(Qt::CustomContextMenu);
    m_files->installEventFilter(this);
    connect(m_files, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_programSets && row >= 0) {
            m_form->fileChosen(m_files->item(row)->text().toStdString());
        }
    });
    m_filePopup = new QMenu(this);
    m_filePopup->setObjectName("mnuFilePopup");
    m_filePopup->setAccessibleName("Sound file menu");
    m_fileDelete = m_filePopup->addAction("Delete");
    m_fileDelete->setObjectName("mnuFilePopupDelete");
    connect(m_fileDelete, &QAction::triggered, this, &ImportWindow::askToDeleteFile);
    connect(m_files, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (m_files->currentItem() != nullptr) {
            m_filePopup->popup(m_files->viewport()->mapToGlobal(at));
        }
    });

    m_fileName = new QLineEdit(this);
    m_fileName->setObjectName("txtFileName");
    m_fileName->setToolTip("Type a file or folder and press Enter to go to it");
    connect(m_fileName, &QLineEdit::returnPressed, this,
            [this] { m_form->fileNameEntered(m_fileName->text().toStdString()); });

    m_play = makeButton(this, "cmdPlay", "&Play");
    m_stop = makeButton(this, "cmdStop", "&Stop");
    m_fTrim = makeButton(this, "cmdFTrim", "FTrim");
    m_fTrim->setToolTip("The next sound above the threshold starts the import");
    m_markFade = makeButton(this, "cmdMarkFade", "Trim");
    m_markFade->setToolTip("The import ends (or its fade begins) here");
    m_import = makeButton(this, "cmdImport", "&Import");
    auto* closeButton = makeButton(this, "cmdClose", "&Close");
    connect(m_play, &QPushButton::clicked, this, [this] { m_form->play(); });
    connect(m_stop, &QPushButton::clicked, this, [this] { m_form->stop(); });
    connect(m_fTrim, &QPushButton::clicked, this, [this] { m_form->FTrim(); });
    connect(m_markFade, &QPushButton::clicked, this, [this] { m_form->markFade(); });
    connect(m_import, &QPushButton::clicked, this, [this] { m_form->importClicked(); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    m_fades = new QListWidget(this);
    m_fades->setObjectName("lstFadeDuration");
    m_fades->setMaximumHeight(QFontMetrics(m_fades->font()).height() * 6);
    connect(m_fades, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_programSets) {
            m_form->fadeChosen(row);
        }
    });
    m_threshold = new QLineEdit(this);
    m_threshold->setObjectName("txtThreshold");
    m_threshold->setMaxLength(5);
    m_threshold->setToolTip("Sets audio threshold for beginning and end of audio file on transfer");
    connect(m_threshold, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_form->thresholdEdited(text.toStdString()); });
    m_adjustLevel = new QCheckBox("&Adjust Level", this);
    m_adjustLevel->setObjectName("Check2");
    connect(m_adjustLevel, &QCheckBox::toggled, this,
            [this](bool checked) { m_form->adjustLevelToggled(checked); });
    m_autoStop = new QCheckBox("A&utoStop", this);
    m_autoStop->setObjectName("Check1");
    connect(m_autoStop, &QCheckBox::toggled, this,
            [this](bool checked) { m_form->autoStopToggled(checked); });
    m_time = new QLineEdit(this);
    m_time->setObjectName("txtTime");
    m_time->setMaxLength(5);
    m_time->setPlaceholderText("m:ss");
    connect(m_time, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_form->timeEdited(text.toStdString()); });

    m_level = new QSlider(Qt::Horizontal, this);
    m_level->setObjectName("MMSliderX1");
    m_level->setRange(0, kLevelMaximum);
    m_level->setValue(kLevelUnity);
    connect(m_level, &QSlider::valueChanged, this, [this](int value) {
        if (!m_programSets) {
            m_form->levelMoved(value);
        }
    });
    m_trackBar = new QSlider(Qt::Horizontal, this);
    m_trackBar->setObjectName("TrackBar");
    m_trackBar->setAccessibleName("Preview position");
    connect(m_trackBar, &QSlider::valueChanged, this, [this](int value) {
        if (!m_programSets) {
            m_form->trackBarMoved(value);
        }
    });
    m_gauge = new QProgressBar(this);
    m_gauge->setObjectName("Gauge");
    m_gauge->setAccessibleName("Import progress");
    m_gauge->setRange(0, 100);
    m_lblTime = makeLabel(this, "lblTime");
    m_lblTime->setMinimumWidth(QFontMetrics(m_lblTime->font()).horizontalAdvance("00:00:00 "));
    m_lamp = makeLabel(this, "Shape1");
    m_lamp->setFixedSize(18, 18);
    m_lamp->setToolTip("Lit while the preview is above the threshold");
    m_marks = makeLabel(this, "lblMarks");
    m_label1 = makeLabel(this, "label1");

    auto* browse = new QGridLayout;
    browse->addWidget(newLabel("Folde&rs", m_dir), 0, 0);
    browse->addWidget(newLabel("S&ound files", m_files), 0, 1);
    browse->addWidget(m_dir, 1, 0);
    browse->addWidget(m_files, 1, 1);
    browse->addWidget(newLabel("File &name", m_fileName), 2, 0);
    browse->addWidget(m_fileName, 2, 1);

    auto* preview = new QHBoxLayout;
    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_play, m_stop, m_fTrim, m_markFade, m_lamp}) {
        preview->addWidget(widget);
    }
    preview->addWidget(m_trackBar, 1);
    preview->addWidget(m_lblTime);

    auto* settings = new QGridLayout;
    settings->addWidget(newLabel("Fade &Duration", m_fades), 0, 0);
    settings->addWidget(m_fades, 1, 0, 4, 1);
    settings->addWidget(newLabel("&Threshold", m_threshold), 0, 1);
    settings->addWidget(m_threshold, 0, 2);
    settings->addWidget(m_adjustLevel, 1, 1, 1, 2);
    settings->addWidget(m_autoStop, 2, 1);
    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(newLabel("Ti&me", m_time));
    timeRow->addWidget(m_time);
    settings->addLayout(timeRow, 2, 2);
    m_levelLabel = newLabel("&Level", m_level);
    settings->addWidget(m_levelLabel, 3, 1);
    settings->addWidget(m_level, 3, 2);
    settings->addWidget(m_marks, 4, 1, 1, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_gauge, 1);
    bottom->addWidget(m_label1);
    bottom->addWidget(m_import);
    bottom->addWidget(closeButton);

    // Created for what they do, the controls are read row by row, and the settings down the fades,
    // then down their right-hand column.
    setReadingOrder({m_dir, m_files, m_fileName, m_play, m_stop, m_fTrim, m_markFade, m_trackBar,
                     m_fades, m_threshold, m_adjustLevel, m_autoStop, m_time, m_level, m_import,
                     closeButton});

    auto* layout = new QVBoxLayout(this);
    buildMenus(layout);
    layout->addLayout(browse, 1);
    layout->addLayout(preview);
    layout->addLayout(settings);
    layout->addLayout(bottom);
    resize(760, 560);
}

void ImportWindow::buildMenus(QLayout* layout) {
    auto* menuBar = new QMenuBar(this);
    QMenu* files = menuBar->addMenu("&Files");
    files->setObjectName("mnuFiles");
    QAction* exit = files->addAction("Exit");
    exit->setObjectName("mnuExit");
    connect(exit, &QAction::triggered, this, &QWidget::close);
    m_specificFile = files->addAction("&Import to a Specific File");
    m_specificFile->setObjectName("mnuSpecificFile");
    connect(m_specificFile, &QAction::triggered, this, &ImportWindow::openSpecificFile);
    layout->setMenuBar(menuBar);
}

void ImportWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && !m_form->isOpen()) {
        m_form->open();
    }
    QDialog::showEvent(event);
}

void ImportWindow::closeEvent(QCloseEvent* event) {
    m_form->close();
    event->accept();
}

void ImportWindow::reject() {
    close();
}

bool ImportWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_files && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        askToDeleteFile();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ImportWindow::openSpecificFile() {
    auto* window = new SpecificFileWindow(
        [this](std::string_view text) { return m_target->reserveSpecificFile(text); }, this,
        [this](std::string_view text) { m_target->deleteSpecificFile(text); });
    window->open();
}

void ImportWindow::askToDeleteFile() {
    QListWidgetItem* item = m_files->currentItem();
    if (item == nullptr) {
        return;
    }
    auto* dialog = new SourceFileDeleteDialog(
        m_form->folder() / item->text().toStdString(),
        [this](const std::filesystem::path& path) { m_form->deleteFile(path); }, this);
    dialog->open();
}

QWidget* ImportWindow::control(ImportControl which) const {
    switch (which) {
        case ImportControl::Play:
            return m_play;
        case ImportControl::Stop:
            return m_stop;
        case ImportControl::FTrim:
            return m_fTrim;
        case ImportControl::MarkFade:
            return m_markFade;
        case ImportControl::Import:
            return m_import;
        case ImportControl::TrackBar:
            return m_trackBar;
        case ImportControl::Gauge:
            return m_gauge;
        case ImportControl::Level:
            return m_level;
        case ImportControl::Label1:
            return m_label1;
    }
    return m_label1;
}

void ImportWindow::showControl(ImportControl which, bool visible) {
    control(which)->setVisible(visible);
    if (which == ImportControl::Level) {
        m_levelLabel->setVisible(visible);
    }
}

void ImportWindow::setCaption(ImportControl which, const std::string& caption) {
    if (auto* button = qobject_cast<QPushButton*>(control(which))) {
        button->setText(QString::fromStdString(caption));
    }
}

void ImportWindow::setColour(ImportControl which, Rgb colour) {
    QWidget* target = control(which);
    const QString style = styleFor(colour);
    if (target->styleSheet() != style) {
        target->setStyleSheet(style);
    }
}

void ImportWindow::showFolder(const std::filesystem::path& folder) {
    const QModelIndex index = m_folders->index(fromPath(folder));
    m_programSets = true;
    m_dir->setCurrentIndex(index);
    m_programSets = false;
    m_dir->scrollTo(index);
}

void ImportWindow::showFiles(const std::vector<std::string>& names, const std::string& selected) {
    m_programSets = true;
    m_files->clear();
    for (const std::string& name : names) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), m_files);
        if (!selected.empty() && name == selected) {
            m_files->setCurrentItem(item);
        }
    }
    if (selected.empty()) {
        m_files->setCurrentRow(-1);
    }
    m_programSets = false;
}

void ImportWindow::showFileName(const std::string& text) {
    m_fileName->setText(QString::fromStdString(text));
}

void ImportWindow::showThreshold(int threshold) {
    m_threshold->setText(QString::number(threshold));
}

void ImportWindow::showFadeEntries(const std::vector<std::string>& entries, int selected) {
    m_programSets = true;
    m_fades->clear();
    for (const std::string& entry : entries) {
        m_fades->addItem(QString::fromStdString(entry));
    }
    m_fades->setCurrentRow(selected);
    m_programSets = false;
}

void ImportWindow::showLevel(int position) {
    m_programSets = true;
    m_level->setValue(position);
    m_programSets = false;
}

void ImportWindow::setTrackBarRange(std::int64_t maximumMs) {
    m_programSets = true;
    m_trackBar->setRange(0, clampToInt(maximumMs));
    m_programSets = false;
}

void ImportWindow::setTrackBarPosition(std::int64_t positionMs) {
    m_programSets = true;
    m_trackBar->setValue(clampToInt(positionMs));
    m_programSets = false;
}

void ImportWindow::showTime(const std::string& text) {
    m_lblTime->setText(QString::fromStdString(text));
}

void ImportWindow::showLamp(bool lit) {
    const QString style = lit ? "background-color: rgb(0, 255, 0); border-radius: 9px;"
                              : "background-color: rgb(64, 64, 64); border-radius: 9px;";
    if (m_lamp->styleSheet() != style) {
        m_lamp->setStyleSheet(style);
        m_lamp->setAccessibleDescription(lit ? "Above the threshold" : "Below the threshold");
    }
}

void ImportWindow::showMarks(const std::string& text) {
    m_marks->setText(QString::fromStdString(text));
}

void ImportWindow::showGauge(int percent) {
    m_gauge->setValue(percent);
}

void ImportWindow::showNumber(const std::string& text) {
    m_label1->setText(QString::fromStdString(text));
}

void ImportWindow::showSpecificFileEntry(bool visible) {
    m_specificFile->setVisible(visible);
    m_specificFile->setEnabled(visible);
}

}  // namespace dvx
