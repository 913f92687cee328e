#include "fill/program_lists_window.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "common/io_error.h"
#include "common/paths.h"
#include "common/time_text.h"
#include "notify/window_helpers.h"
#include "settings/parameter_records.h"
#include "settings/parameters_file.h"
#include "ui/control_names.h"
#include "ui/refused_mark.h"

namespace dvx {
namespace {

constexpr const char* kDayCaptions[8] = {"",          "Sunday",   "Monday", "Tuesday",
                                         "Wednesday", "Thursday", "Friday", "Saturday"};

QString indexedName(const char* name, int index) {
    return QString("%1_%2").arg(name).arg(index);
}

QLineEdit* makeBox(QWidget* parent, const QString& name, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setFixedWidth(width);
    return box;
}

}  // namespace

ProgramListsWindow::ProgramListsWindow(RecordFile& MusRotFileOne, RecordFile& MusRotFileTwo,
                                       RecordFile& MusicCat, const Paths& paths,
                                       Parameters& parameters, ErrorReporter& errors,
                                       std::function<void(const std::string& caption)> reloaded,
                                       DiskSync* diskSync, QWidget* parent)
    : SettingsDialog(parent),
      m_categories(MusicCat),
      m_paths(paths),
      m_parameters(parameters),
      m_errors(errors),
      m_reloaded(std::move(reloaded)),
      m_diskSync(diskSync),
      m_one{ProgramList(MusRotFileOne)},
      m_two{ProgramList(MusRotFileTwo)} {
    setObjectName("frmMyProgramming");
    setWindowTitle("My Programming");
    auto* layout = new QVBoxLayout(this);
    addFilesMenu(this, layout);

    // The two lists and the categories, side by side.
    auto* lists = new QGridLayout;
    makeListSide(m_one, "list1", "mnuHiddenPopup1", "Regular", "Reset All Plays to 0");
    makeListSide(m_two, "List2", "mnuHiddenPopup2", "Alternate", "Reset All Pays to 0");
    m_one.view->viewport()->installEventFilter(this);
    m_two.view->viewport()->installEventFilter(this);
    m_names = new QListWidget(this);
    m_names->setObjectName("lstName");
    m_names->setFont(QFont("Courier"));
    lists->addWidget(newLabel("Regular", m_one.view), 0, 0);
    lists->addWidget(newLabel("Alternate", m_two.view), 0, 1);
    lists->addWidget(newLabel("Music Categories", m_names), 0, 2);
    lists->addWidget(m_one.view, 1, 0);
    lists->addWidget(m_two.view, 1, 1);
    lists->addWidget(m_names, 1, 2);
    layout->addLayout(lists);

    // The alternate program per weekday.
    auto* days = new QGridLayout;
    for (int day = 1; day <= 7; ++day) {
        m_Check1[day] = new QCheckBox(kDayCaptions[day], this);
        m_Check1[day]->setObjectName(indexedName("Check1", day));
        m_txtStart[day] = makeBox(this, indexedName("txtStart", day), 80);
        m_txtStop[day] = makeBox(this, indexedName("txtStop", day), 80);
        nameStartStop(m_txtStart[day], m_txtStop[day], kDayCaptions[day]);
        for (QLineEdit* box : {m_txtStart[day], m_txtStop[day]}) {
            box->setToolTip("Time of day, 24-hour: 06:30:00; double-click to leave it unchanged");
            box->installEventFilter(this);
        }
        days->addWidget(m_Check1[day], day, 0);
        days->addWidget(m_txtStart[day], day, 1);
        days->addWidget(m_txtStop[day], day, 2);
    }
    days->addWidget(newLabel("Start", m_txtStart[1]), 0, 1, Qt::AlignHCenter | Qt::AlignBottom);
    days->addWidget(newLabel("Stop", m_txtStop[1]), 0, 2, Qt::AlignHCenter | Qt::AlignBottom);

    // The event slots: 1 and 4 "Music Cat", 2 and 5 "Sweeper", 3 and 6 "ID". Each row label
    // stands left of its row and belongs to its Regular box; each column label stands over its
    // column and belongs to the column's top box. A box's own name joins both.
    auto* eventSlots = new QGridLayout;
    const char* const columnCaptions[2] = {"Regular", "Alternate"};
    const char* const rowCaptions[3] = {"Music Cat", "Sweeper", "ID"};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 2; ++column) {
            const int slot = 1 + row + 3 * column;
            m_txtEvent[slot] = makeBox(this, indexedName("txtEvent", slot), 60);
            m_txtEvent[slot]->setAccessibleName(
                QString("%1 %2").arg(columnCaptions[column], rowCaptions[row]));
            eventSlots->addWidget(m_txtEvent[slot], row + 1, column + 1);
        }
        eventSlots->addWidget(newLabel(rowCaptions[row], m_txtEvent[1 + row]), row + 1, 0,
                              Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int column = 0; column < 2; ++column) {
        eventSlots->addWidget(newLabel(columnCaptions[column], m_txtEvent[1 + 3 * column]), 0,
                              column + 1, Qt::AlignHCenter | Qt::AlignBottom);
    }
    auto* settings = new QHBoxLayout;
    settings->addLayout(days);
    settings->addLayout(eventSlots);
    layout->addLayout(settings);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(newApplyButton());
    buttons->addWidget(newCloseButton());
    layout->addLayout(buttons);

    QList<QWidget*> edited;
    for (int day = 1; day <= 7; ++day) {
        edited << m_Check1[day] << m_txtStart[day] << m_txtStop[day];
    }
    for (int slot = 1; slot <= 6; ++slot) {
        edited << m_txtEvent[slot];
    }
    watchEdits(edited);
}

void ProgramListsWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        load();
    }
    SettingsDialog::showEvent(event);
}

// `Form_Load`.
void ProgramListsWindow::load() {
    loadSchedule();
    edit([this] {
        m_names->clear();
        for (const ListLine& line : m_categories.LoadMusicCategories(CategoryView::Names)) {
            auto* item = new QListWidgetItem(fromStoredText(line.text), m_names);
            item->setData(Qt::UserRole, line.itemData);
        }
        showList(m_one, std::nullopt);
        showList(m_two, std::nullopt);
    });
    editsStored();
}

void ProgramListsWindow::makeListSide(ListSide& side, const char* listName, const char* menuPrefix,
                                      const char* label, const char* resetCaption) {
    side.view = new QListWidget(this);
    side.view->setObjectName(listName);
    side.view->setFont(QFont("Courier"));
    side.view->setContextMenuPolicy(Qt::CustomContextMenu);
    side.popup = new QMenu(this);
    side.popup->setObjectName(menuPrefix);
    side.popup->setAccessibleName(QString(label) + " list");  // its entries: "Regular list, Add"
    const auto item = [&](const char* suffix, const char* caption, auto action) {
        QAction* entry = side.popup->addAction(caption);
        entry->setObjectName(QString(menuPrefix) + suffix);
        connect(entry, &QAction::triggered, this, [this, &side, action] { (this->*action)(side); });
    };
    item("Add", "Add", &ProgramListsWindow::add);
    item("Delete", "Delete", &ProgramListsWindow::remove);
    item("Insert", "Insert", &ProgramListsWindow::insert);
    item("Reset", resetCaption, &ProgramListsWindow::reset);
    connect(side.view, &QWidget::customContextMenuRequested, this, [this, &side](QPoint at) {
        side.popup->popup(side.view->viewport()->mapToGlobal(at));
    });
}

bool ProgramListsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        // Double-clicking either list adds, as its popup's "Add" does.
        for (ListSide* side : {&m_one, &m_two}) {
            if (watched == side->view->viewport()) {
                add(*side);
                return true;
            }
        }
        if (auto* box = qobject_cast<QLineEdit*>(watched)) {
            box->clear();  // `txtStart_DblClick` / `txtStop_DblClick`: keeps the stored time
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Runs a list edit; a file failure is reported and the lists show what the files hold.
void ProgramListsWindow::edit(const std::function<void()>& change) {
    try {
        change();
    } catch (const IoError& error) {
        m_errors.showError(error.what());
    }
}

void ProgramListsWindow::showList(ListSide& side, std::optional<int> select) {
    side.view->clear();
    for (const ListLine& line : side.list.displayLines(m_categories)) {
        auto* item = new QListWidgetItem(fromStoredText(line.text), side.view);
        item->setData(Qt::UserRole, line.itemData);
    }
    side.view->setCurrentRow(select && *select < side.view->count() ? *select : -1);
}

std::optional<int> ProgramListsWindow::selectedCategory() {
    const QListWidgetItem* item = m_names->currentItem();
    if (item == nullptr || !item->isSelected()) {
        m_errors.showError(kNoCategorySelectedMessage);
        return std::nullopt;
    }
    return item->data(Qt::UserRole).toInt();
}

void ProgramListsWindow::add(ListSide& side) {
    const auto category = selectedCategory();
    if (!category) {
        return;
    }
    edit([&] {
        side.list.add(*category);
        showList(side, std::nullopt);
        side.view->setCurrentRow(side.view->count() - 1);
    });
}

void ProgramListsWindow::insert(ListSide& side) {
    const int row = side.view->currentRow();
    if (row < 0) {
        return;
    }
    const auto category = selectedCategory();
    if (!category) {
        return;
    }
    edit([&] {
        side.list.insertAt(side.view->item(row)->data(Qt::UserRole).toInt(), *category);
        showList(side, row);
    });
}

void ProgramListsWindow::remove(ListSide& side) {
    const int row = side.view->currentRow();
    if (row < 0 ||
        !confirmDeletion(
            QString("line %1 of the %2 list").arg(row + 1).arg(side.view->accessibleName()))) {
        return;
    }
    edit([&] {
        side.list.remove(side.view->item(row)->data(Qt::UserRole).toInt());
        showList(side, std::nullopt);
        if (const auto next = ProgramList::selectionAfterRemove(row, side.view->count())) {
            side.view->setCurrentRow(*next);
        }
    });
}

void ProgramListsWindow::reset(ListSide& side) {
    edit([&] {
        side.list.resetAllPlays();
        showList(side, std::nullopt);
    });
}

void ProgramListsWindow::loadSchedule() {
    m_scheduleLoaded = false;
    try {
        ParameterFile file(m_paths);
        m_loaded = readProgramListRecords(file);
        file.close();
        m_scheduleLoaded = true;
    } catch (const IoError& error) {
        // Nothing was shown, so closing must not write blanks over the stored values.
        m_errors.showError(error.what());
        return;
    }
    for (int day = 1; day <= 7; ++day) {
        m_Check1[day]->setChecked(m_loaded.AltDayEnabled[day] == 1);
        m_txtStart[day]->setText(
            QString::fromStdString(formatTimeOfDay(m_loaded.AltStart[day].value_or(0))));
        m_txtStop[day]->setText(
            QString::fromStdString(formatTimeOfDay(m_loaded.AltStop[day].value_or(0))));
    }
    for (int slot = 1; slot <= 6; ++slot) {
        m_txtEvent[slot]->setText(fromStoredText(programEventText(m_loaded.ProgramEvent[slot])));
    }
}

// `Form_Unload`, now Apply. An empty time box keeps the stored time; a time that cannot be read
// is marked and nothing is written.
bool ProgramListsWindow::applyEdits() {
    clearRefusedMarks(this);
    if (!m_scheduleLoaded) {
        m_errors.showError(
            "The schedule could not be read when the window opened, so it cannot "
            "be saved. Close the window and open it again.");
        return false;
    }
    ProgramListRecords values;
    for (int day = 1; day <= 7; ++day) {
        values.AltDayEnabled[day] = m_Check1[day]->isChecked() ? 1 : 0;
        const std::pair<QLineEdit*, std::optional<std::int32_t>*> boxes[] = {
            {m_txtStart[day], &values.AltStart[day]}, {m_txtStop[day], &values.AltStop[day]}};
        for (const auto& [box, seconds] : boxes) {
            const std::string text = box->text().trimmed().toStdString();
            if (text.empty()) {
                continue;
            }
            *seconds = parseTimeOfDay(text);
            if (!*seconds) {
                const std::string message =
                    std::string("The alternate ") + (box == m_txtStart[day] ? "start" : "stop") +
                    " for " + kDayCaptions[day] + " (\"" + text +
                    "\") is not a time of day. Type hours, minutes and seconds, for example "
                    "06:30:00, or leave the box empty to keep the stored time. Nothing was saved.";
                markRefused(box, QString::fromStdString(message));
                m_errors.showError(message);
                return false;
            }
        }
    }
    for (int slot = 1; slot <= 6; ++slot) {
        values.ProgramEvent[slot] = programEventValue(toStoredText(m_txtEvent[slot]->text()));
    }
    try {
        {
            ParameterFile file(m_paths, m_diskSync);
            writeProgramListRecords(file, values);
            file.close();
        }
        const std::string caption = reloadParameters(m_paths, m_parameters);
        if (m_reloaded) {
            m_reloaded(caption);
        }
    } catch (const IoError& error) {
        m_errors.showError(error.what());
        return false;
    }
    return true;
}

}  // namespace dvx
