#include "notify/contact_list_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>
#include <stdexcept>

#include "common/io_error.h"
#include "common/record_codec.h"
#include "notify/window_helpers.h"
#include "ui/control_names.h"
#include "ui/refused_mark.h"

namespace dvx {
namespace {

constexpr const char* kDayCaptions[8] = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kOptionCaptions[3] = {"Never", "Always", "Sometimes"};
constexpr int kTimeMaxTyped = 8;

QString indexed(const char* name, int index) {
    return QString("%1_%2").arg(name).arg(index);
}

}  // namespace

ContactListWindow::ContactListWindow(RecordFile& file, const ContactWindowStyle& style,
                                     ErrorReporter& errors, ContactTester tester, QWidget* parent)
    : SettingsDialog(parent),
      m_style(style),
      m_book(file, style.format),
      m_form(m_book),
      m_errors(errors),
      m_tester(std::move(tester)) {
    setObjectName(style.objectName);
    setWindowTitle(style.caption);
    buildControls();
}

void ContactListWindow::buildControls() {
    m_list = new QListWidget(this);
    m_list->setObjectName("list1");
    m_list->setAccessibleName(m_style.caption);
    QFont fixed("Courier New");
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    m_list->setFont(fixed);
    m_list->setMinimumWidth(520);
    connect(m_list, &QListWidget::currentRowChanged, this, &ContactListWindow::rowChosen);
    // A click on the line already selected shows its entry again, as stored. (A click on another
    // line has been handled as its selection, and one whose choice was cancelled is not current.)
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (m_list->row(item) == m_list->currentRow()) {
            rowChosen(m_list->currentRow());
        }
    });

    // Each box takes as much as its field holds: a stored text shows whole, so Apply writes it
    // back as it was, and nothing typed is cut off unseen.
    m_nameLabel = new QLabel("Name", this);
    m_nameLabel->setObjectName("Label1");
    m_name = new QLineEdit(this);
    m_name->setObjectName("txtName");
    m_name->setMaxLength(static_cast<int>(kContactNameWidth));
    m_name->installEventFilter(this);
    m_nameLabel->setBuddy(m_name);
    m_contactLabel = new QLabel(m_style.contactLabel, this);
    m_contactLabel->setObjectName("Label2");
    m_contact = new QLineEdit(this);
    m_contact->setObjectName("txtNumber");
    m_contact->setMaxLength(static_cast<int>(m_style.format.contactWidth));
    m_contact->installEventFilter(this);
    m_contactLabel->setBuddy(m_contact);

    m_options = new QButtonGroup(this);
    auto* optionRow = new QHBoxLayout;
    for (int option = 0; option < 3; ++option) {
        auto* button = new QRadioButton(kOptionCaptions[option], this);
        button->setObjectName(indexed("opt1", option));
        m_options->addButton(button, option);
        optionRow->addWidget(button);
    }
    optionRow->addStretch();
    connect(m_options, &QButtonGroup::idToggled, this, [this](int option, bool checked) {
        if (checked) {
            optionClicked(option);
        }
    });

    auto* header = new QLabel(" Start                       Stop", this);
    header->setObjectName("Label8");
    auto* days = new QGridLayout;
    days->addWidget(header, 0, 1, 1, 2);
    for (int day = 1; day <= 7; ++day) {
        m_days[day] = new QCheckBox(kDayCaptions[day], this);
        m_days[day]->setObjectName(indexed("Check1", day));
        m_starts[day] = new QLineEdit(this);
        m_starts[day]->setObjectName(indexed("txtStart", day));
        m_stops[day] = new QLineEdit(this);
        m_stops[day]->setObjectName(indexed("txtStop", day));
        nameStartStop(m_starts[day], m_stops[day], kDayCaptions[day]);
        for (QLineEdit* box : {m_starts[day], m_stops[day]}) {
            box->setMaxLength(kTimeMaxTyped);
            if (m_style.doubleClickEmptiesTimes) {
                box->installEventFilter(this);
            }
        }
        days->addWidget(m_days[day], day, 0);
        days->addWidget(m_starts[day], day, 1);
        days->addWidget(m_stops[day], day, 2);
    }

    m_recordLabel = new QLabel(this);
    m_recordLabel->setObjectName("Label3");

    QPushButton* newEntryButton = newButton("cmdNew", "&New");
    QPushButton* deleteButton = newButton("cmdDelete", "&Delete");
    m_apply = newApplyButton();
    m_sendTest = newButton("cmdSendTest", "Send &test");  // before Close, as Tab reads them
    QPushButton* closeButton = newCloseButton();
    m_sendTest->setVisible(static_cast<bool>(m_tester));
    connect(m_sendTest, &QPushButton::clicked, this, &ContactListWindow::sendTest);
    m_testResult = new QLabel(this);
    m_testResult->setObjectName("lblTest");
    m_testResult->setWordWrap(true);
    connect(newEntryButton, &QPushButton::clicked, this, &ContactListWindow::newEntry);
    connect(deleteButton, &QPushButton::clicked, this, &ContactListWindow::deleteEntry);

    auto* boxes = new QGridLayout;
    boxes->addWidget(m_nameLabel, 0, 0);
    boxes->addWidget(m_name, 0, 1);
    boxes->addWidget(m_contactLabel, 1, 0);
    boxes->addWidget(m_contact, 1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_recordLabel);
    buttons->addStretch();
    for (QPushButton* button : {newEntryButton, deleteButton, m_apply, m_sendTest, closeButton}) {
        buttons->addWidget(button);
    }

    auto* edit = new QVBoxLayout;
    edit->addLayout(boxes);
    edit->addLayout(optionRow);
    edit->addLayout(days);
    edit->addStretch();

    auto* body = new QHBoxLayout;
    body->addWidget(m_list, 1);
    body->addLayout(edit);

    auto* layout = new QVBoxLayout(this);
    addFilesMenu(this, layout);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_testResult);

    showEditBoxes(false);
    QList<QWidget*> edited = {m_name, m_contact};
    for (QAbstractButton* option : m_options->buttons()) {
        edited << option;
    }
    for (int day = 1; day <= 7; ++day) {
        edited << m_days[day] << m_starts[day] << m_stops[day];
    }
    watchEdits(edited);
}

void ContactListWindow::showEvent(QShowEvent* event) {
    // Brought back from the taskbar, the window keeps what it shows; opened, it lists afresh.
    if (!event->spontaneous()) {
        loadList();
    }
    QDialog::showEvent(event);
}

bool ContactListWindow::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the name moves on to the number, in the number on to Apply; it presses nothing.
    if (event->type() == QEvent::KeyPress && (watched == m_name || watched == m_contact)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            (watched == m_name ? static_cast<QWidget*>(m_contact) : m_apply)->setFocus();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto* box = qobject_cast<QLineEdit*>(watched)) {
            box->clear();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ContactListWindow::loadList() {
    std::vector<ContactListLine> lines;
    try {
        lines = m_form.loadList();
    } catch (const IoError& error) {
        m_errors.showError(error.what());
    }
    {
        const QSignalBlocker quiet(m_list);
        m_list->clear();
        for (const ContactListLine& line : lines) {
            auto* item = new QListWidgetItem(fromStoredText(line.text), m_list);
            item->setData(Qt::UserRole, line.recordNumber);
        }
    }
    m_shownRow = -1;
    if (m_list->count() > 0) {
        {
            const QSignalBlocker quiet(m_list);
            m_list->setCurrentRow(0);
        }
        showRow(0);
    }
}

void ContactListWindow::showRow(int row) {
    QListWidgetItem* item = m_list->item(row);
    if (item == nullptr) {
        return;
    }
    const std::int32_t record = item->data(Qt::UserRole).toInt();
    try {
        setBoxValues(m_form.show(record, boxValues()));
    } catch (const std::exception& error) {
        m_errors.showError(error.what());
        return;
    }
    m_shownRow = row;
    clearRefusedMarks(this);
    m_recordLabel->setText(QString::number(record));
    showEditBoxes(true);
    editsStored();
}

// The user chose a line: the edits of the entry shown are settled first. Saving lists the
// entries afresh, so the chosen entry is looked up again by its record.
void ContactListWindow::rowChosen(int row) {
    const QListWidgetItem* item = m_list->item(row);
    if (item == nullptr) {
        return;
    }
    const int record = item->data(Qt::UserRole).toInt();
    if (!settleEdits()) {
        const QSignalBlocker quiet(m_list);
        m_list->setCurrentRow(m_shownRow);
        return;
    }
    for (int at = 0; at < m_list->count(); ++at) {
        if (m_list->item(at)->data(Qt::UserRole).toInt() == record) {
            {
                const QSignalBlocker quiet(m_list);
                m_list->setCurrentRow(at);
            }
            showRow(at);
            return;
        }
    }
}

void ContactListWindow::newEntry() {
    if (!settleEdits()) {
        return;
    }
    try {
        m_form.newEntry();
    } catch (const IoError& error) {
        m_errors.showError(error.what());
        return;
    }
    m_name->clear();
    m_contact->clear();
    clearRefusedMarks(this);
    if (m_style.newClearsDays) {
        for (int day = 1; day <= 7; ++day) {
            m_days[day]->setChecked(false);
            m_starts[day]->clear();
            m_stops[day]->clear();
        }
    }
    showEditBoxes(true);
    m_name->setFocus();
    m_recordLabel->setText(QString::number(m_form.EditRecNo()));
    editsStored();  // an empty entry: nothing to ask about until something is typed
}

bool ContactListWindow::applyEdits() {
    ContactFormValues stored;
    clearRefusedMarks(this);
    try {
        stored = m_form.apply(boxValues());
    } catch (const RefusedBox& refusal) {
        markRefusedBox(refusal);
        m_errors.showError(refusal.what());
        return false;
    } catch (const std::exception& error) {
        m_errors.showError(error.what());
        return false;
    }
    for (int day = 1; day <= 7; ++day) {
        m_starts[day]->setText(QString::fromStdString(stored.start[day]));
        m_stops[day]->setText(QString::fromStdString(stored.stop[day]));
    }
    const int saveIndex = m_list->currentRow();                // `ListSaveIndex`
    const int saveTop = m_list->verticalScrollBar()->value();  // `ListSaveTop`
    loadList();
    if (m_list->count() != 1 && saveIndex >= 0) {
        m_list->setCurrentRow(std::min(saveIndex, m_list->count() - 1));
        m_list->verticalScrollBar()->setValue(saveTop);
    }
    return true;
}

void ContactListWindow::deleteEntry() {
    QListWidgetItem* item = m_list->currentItem();
    if (item == nullptr) {
        return;
    }
    const QString name = item->text().left(static_cast<int>(kContactNameWidth)).trimmed();
    if (!confirmDeletion(QString("the entry \"%1\"").arg(name))) {
        return;
    }
    try {
        m_form.deleteEntry(item->data(Qt::UserRole).toInt());
    } catch (const IoError& error) {
        m_errors.showError(error.what());
        return;
    }
    // The deleted entry leaves the boxes: Apply cannot write it back. The first entry left, if
    // any, is shown instead.
    emptyEditBoxes();
    loadList();
}

void ContactListWindow::emptyEditBoxes() {
    m_name->clear();
    m_contact->clear();
    m_recordLabel->clear();
    clearRefusedMarks(this);
    showEditBoxes(false);
    editsStored();
}

void ContactListWindow::optionClicked(int option) {
    if (!m_style.optionsEnableDays) {
        return;
    }
    m_form.setSchedule(option);
    const bool sometimes = option == 2;
    for (int day = 1; day <= 7; ++day) {
        m_days[day]->setEnabled(sometimes);
        m_starts[day]->setEnabled(sometimes);
        m_stops[day]->setEnabled(sometimes);
    }
}

void ContactListWindow::sendTest() {
    QListWidgetItem* item = m_list->currentItem();
    if (item == nullptr) {
        m_errors.showError("Choose the entry to send a test to in the list.");
        return;
    }
    ContactEntry entry;
    try {
        entry = m_book.read(item->data(Qt::UserRole).toInt());
    } catch (const IoError& error) {
        m_errors.showError(error.what());
        return;
    }
    m_sendTest->setEnabled(false);
    m_testResult->setText("Sending a test to " + fromStoredText(trimBlanks(entry.Name)) + "...");
    m_tester(entry, [window = QPointer(this)](const ContactTestResult& result) {
        if (window) {
            window->testDone(result);
        }
    });
}

void ContactListWindow::testDone(const ContactTestResult& result) {
    m_sendTest->setEnabled(true);
    m_testResult->setText(fromStoredText(result.text));
    if (!result.sent) {
        m_errors.showError(result.text);
    }
}

void ContactListWindow::markRefusedBox(const RefusedBox& refusal) {
    QLineEdit* box = refusal.box == RefusedBox::Box::Name      ? m_name
                     : refusal.box == RefusedBox::Box::Contact ? m_contact
                     : refusal.box == RefusedBox::Box::Start   ? m_starts[refusal.day]
                                                               : m_stops[refusal.day];
    markRefused(box, fromStoredText(refusal.what()));
}

void ContactListWindow::showEditBoxes(bool shown) {
    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_name, m_contact, m_nameLabel, m_contactLabel, m_apply}) {
        widget->setVisible(shown);
    }
}

ContactFormValues ContactListWindow::boxValues() const {
    ContactFormValues values;
    values.name = toStoredText(m_name->text());
    values.contact = toStoredText(m_contact->text());
    values.option = m_options->checkedId();
    for (int day = 1; day <= 7; ++day) {
        values.dayOn[day] = m_days[day]->isChecked();
        values.start[day] = toStoredText(m_starts[day]->text());
        values.stop[day] = toStoredText(m_stops[day]->text());
    }
    return values;
}

void ContactListWindow::setBoxValues(const ContactFormValues& values) {
    m_name->setText(fromStoredText(values.name));
    m_contact->setText(fromStoredText(values.contact));
    if (QAbstractButton* option = m_options->button(values.option)) {
        option->setChecked(true);
    }
    for (int day = 1; day <= 7; ++day) {
        m_days[day]->setChecked(values.dayOn[day]);
        m_starts[day]->setText(fromStoredText(values.start[day]));
        m_stops[day]->setText(fromStoredText(values.stop[day]));
    }
}

}  // namespace dvx
