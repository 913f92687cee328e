#include "notify/contact_list_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <stdexcept>

#include "common/io_error.h"
#include "common/record_codec.h"
#include "notify/window_helpers.h"
#include "ui/control_names.h"

namespace dvx {
namespace {

constexpr const char* kDayCaptions[8] = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kOptionCaptions[3] = {"Never", "Always", "Sometimes"};
constexpr int kTimeMaxTyped = 8;

// Marks a box whose text Apply refused (property "refused": a red frame, the message as its
// tip), or clears the mark when `refusal` is empty.
void markBox(QLineEdit* box, const QString& refusal) {
    if (refusal.isEmpty() && !box->property("refused").toBool()) {
        return;
    }
    box->setProperty("refused", !refusal.isEmpty());
    box->setToolTip(refusal);
    box->style()->unpolish(box);
    box->style()->polish(box);
}

QString indexed(const char* name, int index) {
    return QString("%1_%2").arg(name).arg(index);
}

// Enter in a box moves the focus on; it must not press a button of the dialog as well.
QPushButton* makeButton(QWidget* parent, const char* objectName, const char* caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

ContactListWindow::ContactListWindow(RecordFile& file, const ContactWindowStyle& style,
                                     ErrorReporter& errors, ContactTester tester, QWidget* parent)
    : QDialog(parent),
      m_style(style),
      m_book(file, style.format),
      m_form(m_book),
      m_errors(errors),
      m_tester(std::move(tester)) {
    setObjectName(style.objectName);
    setStyleSheet("QLineEdit[refused=\"true\"] { border: 2px solid #c00000; }");
    setWindowTitle(style.caption);
    setModal(false);
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
    connect(m_list, &QListWidget::currentRowChanged, this, &ContactListWindow::showRow);
    // A click on the line already selected shows its entry again, as stored.
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showRow(m_list->row(item)); });

    // Each box takes as much as its field holds: a stored text shows whole, so Apply writes it
    // back as it was, and nothing typed is cut off unseen.
    m_nameLabel = new QLabel("Name", this);
    m_nameLabel->setObjectName("Label1");
    m_name = new QLineEdit(this);
    m_name->setObjectName("txtName");
    m_name->setMaxLength(static_cast<int>(kContactNameWidth));
    m_nameLabel->setBuddy(m_name);
    m_contactLabel = new QLabel(m_style.contactLabel, this);
    m_contactLabel->setObjectName("Label2");
    m_contact = new QLineEdit(this);
    m_contact->setObjectName("txtNumber");
    m_contact->setMaxLength(static_cast<int>(m_style.format.contactWidth));
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

    QPushButton* newButton = makeButton(this, "cmdNew", "New");
    QPushButton* deleteButton = makeButton(this, "cmdDelete", "Delete");
    m_apply = makeButton(this, "cmdApply", "Apply");
    QPushButton* closeButton = makeButton(this, "cmdClose", "Close");
    m_sendTest = makeButton(this, "cmdSendTest", "Send test");
    m_sendTest->setVisible(static_cast<bool>(m_tester));
    connect(m_sendTest, &QPushButton::clicked, this, &ContactListWindow::sendTest);
    m_testResult = new QLabel(this);
    m_testResult->setObjectName("lblTest");
    m_testResult->setWordWrap(true);
    connect(newButton, &QPushButton::clicked, this, &ContactListWindow::newEntry);
    connect(deleteButton, &QPushButton::clicked, this, &ContactListWindow::deleteEntry);
    connect(m_apply, &QPushButton::clicked, this, &ContactListWindow::apply);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_name, &QLineEdit::returnPressed, m_contact, [this] { m_contact->setFocus(); });
    connect(m_contact, &QLineEdit::returnPressed, m_apply, [this] { m_apply->setFocus(); });

    auto* boxes = new QGridLayout;
    boxes->addWidget(m_nameLabel, 0, 0);
    boxes->addWidget(m_name, 0, 1);
    boxes->addWidget(m_contactLabel, 1, 0);
    boxes->addWidget(m_contact, 1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_recordLabel);
    buttons->addStretch();
    for (QPushButton* button : {newButton, deleteButton, m_apply, m_sendTest, closeButton}) {
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

    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_name, m_contact, m_nameLabel, m_contactLabel, m_apply}) {
        widget->hide();
    }
    // Edited, a box no longer holds the text that was refused.
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        connect(box, &QLineEdit::textEdited, box, [box] { markBox(box, {}); });
    }
}

void ContactListWindow::showEvent(QShowEvent* event) {
    // Brought back from the taskbar, the window keeps what it shows; opened, it lists afresh.
    if (!event->spontaneous()) {
        loadList();
    }
    QDialog::showEvent(event);
}

bool ContactListWindow::eventFilter(QObject* watched, QEvent* event) {
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
    clearMarks();
    m_recordLabel->setText(QString::number(record));
    showEditBoxes();
}

void ContactListWindow::newEntry() {
    try {
        m_form.newEntry();
    } catch (const IoError& error) {
        m_errors.showError(error.what());
        return;
    }
    m_name->clear();
    m_contact->clear();
    clearMarks();
    if (m_style.newClearsDays) {
        for (int day = 1; day <= 7; ++day) {
            m_days[day]->setChecked(false);
            m_starts[day]->clear();
            m_stops[day]->clear();
        }
    }
    showEditBoxes();
    m_name->setFocus();
    m_recordLabel->setText(QString::number(m_form.EditRecNo()));
}

void ContactListWindow::apply() {
    ContactFormValues stored;
    clearMarks();
    try {
        stored = m_form.apply(boxValues());
    } catch (const RefusedBox& refusal) {
        markRefused(refusal);
        m_errors.showError(refusal.what());
        return;
    } catch (const std::exception& error) {
        m_errors.showError(error.what());
        return;
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
}

void ContactListWindow::deleteEntry() {
    QListWidgetItem* item = m_list->currentItem();
    if (item == nullptr) {
        return;
    }
    try {
        m_form.deleteEntry(item->data(Qt::UserRole).toInt());
    } catch (const IoError& error) {
        m_errors.showError(error.what());
        return;
    }
    loadList();
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

void ContactListWindow::markRefused(const RefusedBox& refusal) {
    QLineEdit* box = refusal.box == RefusedBox::Box::Name      ? m_name
                     : refusal.box == RefusedBox::Box::Contact ? m_contact
                     : refusal.box == RefusedBox::Box::Start   ? m_starts[refusal.day]
                                                               : m_stops[refusal.day];
    markBox(box, fromStoredText(refusal.what()));
}

void ContactListWindow::clearMarks() {
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        markBox(box, {});
    }
}

void ContactListWindow::showEditBoxes() {
    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_name, m_contact, m_nameLabel, m_contactLabel, m_apply}) {
        widget->show();
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
