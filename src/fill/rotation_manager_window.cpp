#include "fill/rotation_manager_window.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "library/library_controls.h"
#include "notify/window_helpers.h"
#include "ui/control_names.h"
#include "ui/tab_order.h"

namespace dvx {
namespace {

constexpr const char* kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};

// Fills `list` with `lines` unless it shows them already (so it keeps its scrolling), and makes
// the line of `current` the current one, or none.
void showLines(QListWidget* list, const std::vector<ListLine>& lines, std::optional<int> current) {
    bool same = list->count() == static_cast<int>(lines.size());
    for (int row = 0; same && row < list->count(); ++row) {
        const ListLine& line = lines[static_cast<std::size_t>(row)];
        same = list->item(row)->data(Qt::UserRole).toInt() == line.itemData &&
               list->item(row)->text() == fromStoredText(line.text);
    }
    if (!same) {
        showListLines(list, lines, &ListLine::itemData);
    }
    if (!current || !markListItem(list, *current, false)) {
        const QSignalBlocker quiet(list);
        list->setCurrentRow(-1);
    }
}

std::optional<int> currentItemData(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    return item != nullptr ? std::optional<int>(item->data(Qt::UserRole).toInt()) : std::nullopt;
}

bool isContextMenuKey(const QKeyEvent* key) {
    return key->key() == Qt::Key_Menu ||
           (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
}

}  // namespace

RotationManagerWindow::RotationManagerWindow(RotationManagerForm::Files files, Clock& clock,
                                             ErrorReporter& errors, QWidget* parent)
    : QDialog(parent), m_form(files, clock, errors) {
    setObjectName("frmRotationFileManager");
    setWindowTitle("Rotation File Manager");
    setModal(false);
    buildControls();
    buildPopups();
    showForm();
    // Down the names, the middle column and the spots, then the entries below them.
    QList<QWidget*> order = {m_names, m_name, m_length, m_checkDates, m_checkDays};
    order.append(QList<QWidget*>(m_days.begin(), m_days.end()));
    for (const char* button : {"cmdNew", "cmdApply", "cmdDelete", "cmdClose"}) {
        order.append(findChild<QPushButton*>(button));
    }
    setReadingOrder(order << m_spots << m_entries);
}

void RotationManagerWindow::buildControls() {
    auto* namesLabel = makeLabel(this, "Label3", "Rotation Files");
    m_names = makeCatalogueList(this, "lstName", "Courier", 31, [this](int record) {
        if (const auto shown = m_form.nameChosen(record)) {
            showRotation(*shown);
        }
        showForm();
    });
    setLabel(namesLabel, m_names);
    auto* spotsLabel = makeLabel(this, "Label2", "Spotfiles");
    m_spots = makeCatalogueList(this, "lstSpotFile", "Courier", 47);
    m_spots->setToolTip("Double-click a spot, or press Enter on it, to add it to the rotation");
    setLabel(spotsLabel, m_spots);
    m_label1 = makeLabel(this, "Label1");
    m_today = makeLabel(this, "lblToday");
    m_entries = makeCatalogueList(this, "lstRotationFile", "Courier", 50, [this](int record) {
        m_form.entryChosen(record);
        showForm();
    });
    m_entries->setAccessibleName("Rotation entries");
    m_entries->setToolTip("The rotation's spots in the order they play; right-click to edit");
    for (QListWidget* list : {m_spots, m_entries}) {
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        list->installEventFilter(this);
    }
    connect(m_spots, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_form.spotDoubleClicked(item->data(Qt::UserRole).toInt());
        showForm();
    });

    auto* menuBar = new QMenuBar(this);
    buildMenus(menuBar);
    auto* lists = new QHBoxLayout;
    auto* namesColumn = new QVBoxLayout;
    namesColumn->addWidget(namesLabel);
    namesColumn->addWidget(m_names);
    lists->addLayout(namesColumn);
    lists->addLayout(buildBoxes());
    auto* spotsColumn = new QVBoxLayout;
    spotsColumn->addWidget(spotsLabel);
    spotsColumn->addWidget(m_spots);
    lists->addLayout(spotsColumn);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(lists);
    layout->addWidget(m_label1);
    layout->addWidget(m_today);
    layout->addWidget(m_entries);
}

// The rotation's boxes, its weekday boxes and the buttons.
QLayout* RotationManagerWindow::buildBoxes() {
    m_name = new QLineEdit(this);
    m_name->setObjectName("txtName");
    m_name->setMaxLength(25);
    m_name->installEventFilter(this);
    m_length = new QLineEdit(this);
    m_length->setObjectName("txtLength");
    m_length->setMaxLength(10);
    m_length->setToolTip("Length of the rotation, such as 0:30 or 1:02:05");
    m_length->installEventFilter(this);
    m_checkDates = new QCheckBox("Check Da&tes", this);
    m_checkDates->setObjectName("chkDates");
    m_checkDates->setToolTip("Entries play only within their spot's start and stop dates");
    m_checkDays = new QCheckBox("Check Da&ys", this);
    m_checkDays->setObjectName("chkDays");
    m_checkDays->setToolTip("Entries play only on the weekdays ticked for them");
    connect(m_checkDays, &QCheckBox::toggled, this, &RotationManagerWindow::enableDays);

    auto* grid = new QGridLayout;
    auto* nameLabel = makeLabel(this, "lblName", "Name");
    setLabel(nameLabel, m_name);
    auto* lengthLabel = makeLabel(this, "lblLength", "Length");
    setLabel(lengthLabel, m_length);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(lengthLabel, 1, 0);
    grid->addWidget(m_length, 1, 1);
    grid->addWidget(m_checkDates, 2, 1);
    grid->addWidget(m_checkDays, 3, 1);
    for (int day = 0; day < 7; ++day) {
        QCheckBox* box = new QCheckBox(kDayNames[day], this);
        box->setObjectName(QString("chkDay%1").arg(day));
        box->setToolTip("The chosen entry may play on this weekday");
        connect(box, &QCheckBox::toggled, this, [this, day](bool ticked) {
            if (!m_programSets) {
                m_form.dayTicked(day, ticked);
                showForm();
            }
        });
        m_days[static_cast<std::size_t>(day)] = box;
        grid->addWidget(box, 4 + day, 1);
    }

    auto* newButton = makeButton(this, "cmdNew", "&New");
    newButton->setToolTip("Make a new rotation");
    m_apply = makeButton(this, "cmdApply", "&Apply");
    m_apply->setToolTip("Save entry");
    auto* deleteButton = makeButton(this, "cmdDelete", "&Delete");
    deleteButton->setToolTip("Delete Entry");
    auto* closeButton = makeButton(this, "cmdClose", "&Close");
    connect(newButton, &QPushButton::clicked, this, [this] {
        if (m_form.newRotation()) {
            m_name->clear();
            m_length->clear();
            m_name->setFocus();
        }
        showForm();
    });
    connect(m_apply, &QPushButton::clicked, this, [this] {
        m_form.apply(toStoredText(m_name->text()), m_length->text().toStdString(),
                     m_checkDates->isChecked(), m_checkDays->isChecked());
        showForm();
    });
    connect(deleteButton, &QPushButton::clicked, this, [this] {
        m_form.deleteRotation();
        showForm();
    });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QGridLayout;
    buttons->addWidget(newButton, 0, 0);
    buttons->addWidget(m_apply, 0, 1);
    buttons->addWidget(deleteButton, 1, 0);
    buttons->addWidget(closeButton, 1, 1);
    auto* column = new QVBoxLayout;
    column->addLayout(grid);
    column->addLayout(buttons);
    column->addStretch();
    return column;
}

void RotationManagerWindow::buildMenus(QMenuBar* menuBar) {
    QMenu* files = menuBar->addMenu("&Files");
    files->setObjectName("mnuFiles");
    connect(addEntry(files, "Exit", "mnuExit"), &QAction::triggered, this, &QWidget::close);
    using SetOrder = void (RotationManagerForm::*)(ListOrder);
    const auto addOrder = [this](QMenu* view, const char* name, ListOrder order, SetOrder set) {
        const char* caption = order == ListOrder::ByName ? "Names" : "Number";
        connect(addEntry(view, caption, name), &QAction::triggered, this, [this, order, set] {
            (m_form.*set)(order);
            showForm();
        });
    };
    QMenu* names = menuBar->addMenu("&Rotation File View");
    names->setObjectName("mnuView");
    addOrder(names, "mnuViewNames", ListOrder::ByName, &RotationManagerForm::setNameOrder);
    addOrder(names, "mnuViewNumber", ListOrder::ByNumber, &RotationManagerForm::setNameOrder);
    QMenu* spots = menuBar->addMenu("S&potFile View");
    spots->setObjectName("mnuSpotFileView");
    addOrder(spots, "mnuSpotFileViewNames", ListOrder::ByName, &RotationManagerForm::setSpotOrder);
    addOrder(spots, "mnuSpotFileViewNumber", ListOrder::ByNumber,
             &RotationManagerForm::setSpotOrder);
}

void RotationManagerWindow::buildPopups() {
    const auto addCommand = [this](QMenu* menu, const char* caption, const char* name,
                                   auto command) {
        connect(addEntry(menu, caption, name), &QAction::triggered, this, [this, command] {
            command();
            showForm();
        });
    };
    m_spotPopup = new QMenu(this);
    m_spotPopup->setObjectName("mnuPopUpSpot");
    m_spotPopup->setAccessibleName("Spot list menu");
    addCommand(m_spotPopup, "Add", "mnuPopUpSpotAdd", [this] { m_form.addSpot(chosenSpot()); });
    addCommand(m_spotPopup, "Insert", "mnuPopUpSpotInsert",
               [this] { m_form.insertSpot(chosenSpot()); });
    addCommand(m_spotPopup, "Replace", "mnuPopUpSpotReplace",
               [this] { m_form.replaceWithSpot(chosenSpot()); });

    m_rotationPopup = new QMenu(this);
    m_rotationPopup->setObjectName("mnuPopUpRotation");
    m_rotationPopup->setAccessibleName("Rotation entry menu");
    addCommand(m_rotationPopup, "Copy", "mnuPopUpRotationCopy", [this] { m_form.copyEntry(); });
    addCommand(m_rotationPopup, "Cut", "mnuPopUpRotationCut", [this] { m_form.cutEntry(); });
    addCommand(m_rotationPopup, "Delete", "mnuPopUpRotationDelete",
               [this] { m_form.deleteEntry(); });
    addCommand(m_rotationPopup, "Insert", "mnuPopUpRotationInsert",
               [this] { m_form.insertClipboard(); });
    addCommand(m_rotationPopup, "Replace", "mnuPopUpRotationReplace",
               [this] { m_form.replaceWithClipboard(); });
    addCommand(m_rotationPopup, "Reset Plays to 0", "mnuPopUpRotationReset",
               [this] { m_form.resetPlays(); });

    // The same commands on the menu bar too: a screen reader reaches no context menu.
    m_spotPopup->setTitle("&Spot List");
    m_rotationPopup->setTitle("Rotation &Entries");
    auto* menuBar = findChild<QMenuBar*>();
    menuBar->addMenu(m_spotPopup);
    menuBar->addMenu(m_rotationPopup);

    connect(m_spots, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popUp(m_spots, m_spotPopup, at); });
    connect(m_entries, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popUp(m_entries, m_rotationPopup, at); });
}

void RotationManagerWindow::popUp(QListWidget* list, QMenu* menu, const QPoint& at) {
    menu->popup(list->viewport()->mapToGlobal(at));
}

int RotationManagerWindow::chosenSpot() const {
    return currentItemData(m_spots).value_or(0);
}

void RotationManagerWindow::showEvent(QShowEvent* event) {
    m_form.refresh();  // spots and plays may have changed while it was hidden
    showForm();
    QDialog::showEvent(event);
}

void RotationManagerWindow::showForm() {
    m_programSets = true;
    showLines(m_names, m_form.nameLines(), m_form.current());
    showLines(m_spots, m_form.spotLines(), currentItemData(m_spots));
    showLines(m_entries, m_form.entryLines(), m_form.entry());
    m_label1->setText(fromStoredText(m_form.label()));
    m_today->setText(QString::fromStdString(m_form.todayNote()));
    for (std::size_t day = 0; day < m_days.size(); ++day) {
        m_days[day]->setChecked(m_form.entryDays()[day]);
    }
    m_programSets = false;
    enableDays();
}

void RotationManagerWindow::showRotation(const RotationManagerForm::Shown& shown) {
    m_name->setText(fromStoredText(shown.name));
    m_length->setText(QString::fromStdString(shown.length));
    m_checkDates->setChecked(shown.checkDates);
    m_checkDays->setChecked(shown.checkDays);
}

// The weekday boxes work on the chosen entry, and only while the rotation checks days.
void RotationManagerWindow::enableDays() {
    const bool enabled = m_checkDays->isChecked() && m_form.entry().has_value();
    for (QCheckBox* box : m_days) {
        box->setEnabled(enabled);
    }
}

bool RotationManagerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((watched == m_name || watched == m_length) && isEnterKey(key)) {
        m_apply->setFocus();  // `txtName_KeyDown`, `txtLength_KeyDown`
        return true;
    }
    if (watched == m_spots && isEnterKey(key)) {
        m_form.spotDoubleClicked(chosenSpot());
        showForm();
        return true;
    }
    if ((watched == m_spots || watched == m_entries) && isContextMenuKey(key)) {
        auto* list = static_cast<QListWidget*>(watched);
        const QListWidgetItem* item = list->currentItem();
        popUp(list, list == m_spots ? m_spotPopup : m_rotationPopup,
              item != nullptr ? list->visualItemRect(item).center() : QPoint(0, 0));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace dvx
