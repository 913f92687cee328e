#include "fill/music_categories_window.h"

#include <QAction>
#include <QCheckBox>
#include <QDate>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

#include "notify/window_helpers.h"
#include "ui/control_names.h"
#include "ui/refused_mark.h"
#include "viewers/printout_painter.h"

namespace dvx {
namespace {

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

MusicCategoriesWindow::MusicCategoriesWindow(RecordFile& MusicCat, ErrorReporter& errors,
                                             QWidget* parent)
    : SettingsDialog(parent),
      m_categories(MusicCat),
      m_form(m_categories, errors),
      m_errors(errors) {
    setObjectName("frmMusicCategories");
    setWindowTitle("Music Categories");

    auto* letterLabel = new QLabel("Letter", this);
    letterLabel->setObjectName("Label1");
    m_letter = new QLineEdit(this);
    m_letter->setObjectName("txtLetter");
    m_letter->setMaxLength(1);
    m_letter->setFont(QFont("Courier"));
    m_letter->installEventFilter(this);
    setLabel(letterLabel, m_letter);
    auto* nameLabel = new QLabel("Name", this);
    nameLabel->setObjectName("lblName");
    m_name = new QLineEdit(this);
    m_name->setObjectName("txtName");
    m_name->setMaxLength(static_cast<int>(kCategoryNameWidth));
    m_name->installEventFilter(this);
    setLabel(nameLabel, m_name);
    m_visible = new QCheckBox("Visible", this);
    m_visible->setObjectName("Check1");
    m_visible->setToolTip("Makes caption visible");
    m_visible->installEventFilter(this);
    m_apply = newApplyButton();
    m_apply->setToolTip("Save entry");
    QPushButton* deleteButton = newButton("cmdDelete", "&Delete");
    deleteButton->setToolTip("Delete Entry");
    QPushButton* closeButton = newCloseButton();
    m_list = new QListWidget(this);
    m_list->setObjectName("lstName");
    m_list->setAccessibleName("Categories");
    m_list->setFont(QFont("Courier"));

    auto* menuBar = new QMenuBar(this);
    QMenu* files = menuBar->addMenu("&Files");
    files->setObjectName("mnuFiles");
    QAction* print = files->addAction("&Print");
    print->setObjectName("mnuPrint");
    QAction* exit = files->addAction("E&xit");
    exit->setObjectName("mnuExit");
    QMenu* view = menuBar->addMenu("&View");
    view->setObjectName("mnuView");
    QAction* names = view->addAction("&Names");
    names->setObjectName("mnuViewNames");
    QAction* letters = view->addAction("&Letter");
    letters->setObjectName("mnuViewLetter");

    auto* boxes = new QGridLayout;
    boxes->addWidget(letterLabel, 0, 0);
    boxes->addWidget(m_letter, 0, 1);
    boxes->addWidget(nameLabel, 1, 0);
    boxes->addWidget(m_name, 1, 1);
    boxes->addWidget(m_visible, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_apply);
    buttons->addWidget(deleteButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(boxes);
    layout->addLayout(buttons);
    layout->addWidget(m_list);

    connect(print, &QAction::triggered, this, &MusicCategoriesWindow::printOnSystemPrinter);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    connect(names, &QAction::triggered, this, [this] {
        m_form.setView(CategoryView::Names);
        showLines();
    });
    connect(letters, &QAction::triggered, this, [this] {
        m_form.setView(CategoryView::Letter);
        showLines();
    });
    connect(m_list, &QListWidget::itemClicked, this,
            [this](const QListWidgetItem* item) { lineClicked(item->text()); });
    connect(deleteButton, &QPushButton::clicked, this, &MusicCategoriesWindow::deleteCategory);
    watchEdits({m_letter, m_name, m_visible});

    showLines();  // `Form_Load`: the form lists the "Names" view
}

// `lstName_Click`, once the edits of the boxes are settled. Saving them lists the categories
// afresh, so the line clicked is looked up again by its text.
void MusicCategoriesWindow::lineClicked(const QString& line) {
    if (!settleEdits()) {
        return;
    }
    const QList<QListWidgetItem*> found = m_list->findItems(line, Qt::MatchExactly);
    if (found.isEmpty()) {
        return;
    }
    m_list->setCurrentItem(found.first());
    if (const auto shown = m_form.lineClicked(m_list->row(found.first()))) {
        m_letter->setText(QString::fromStdString(shown->letter));
        m_name->setText(fromStoredText(shown->name));
        m_visible->setChecked(shown->visible);
        editsStored();
    }
}

bool MusicCategoriesWindow::applyEdits() {
    // Without a current category the form has shown the letter message; the boxes stay.
    const auto saved = m_form.apply(toStoredText(m_name->text()), m_visible->isChecked());
    if (!saved) {
        markRefused(m_letter, QString::fromUtf8(MusicCategoriesForm::kLegalLettersMessage));
        return false;
    }
    showLines();
    select(saved);
    emptyBoxes();
    return true;
}

void MusicCategoriesWindow::deleteCategory() {
    const auto current = m_form.current();
    if (current && !confirmDeletion(QString("the category %1 (%2)")
                                        .arg(QString::fromStdString(CategoryLetter(*current)),
                                             m_name->text().trimmed()))) {
        return;
    }
    // Without a current category the form shows the letter message and nothing changes.
    const auto next = m_form.deleteCurrent(m_list->currentRow());
    if (current) {
        showLines();
        select(next);
        emptyBoxes();  // nothing left for Apply to write back
    }
}

void MusicCategoriesWindow::showLines() {
    m_list->clear();
    for (const ListLine& line : m_form.lines()) {
        m_list->addItem(fromStoredText(line.text));
    }
}

void MusicCategoriesWindow::select(std::optional<int> position) {
    if (position && *position >= 0 && *position < m_list->count()) {
        m_list->setCurrentRow(*position);
    } else {
        m_list->setCurrentRow(-1);
    }
}

void MusicCategoriesWindow::emptyBoxes() {
    m_letter->clear();
    m_name->clear();
    m_visible->setChecked(false);
    clearRefusedMarks(this);
    m_letter->setFocus();
    editsStored();
}

bool MusicCategoriesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched == m_letter) {
        m_letter->clear();  // `txtLetter_DblClick`
        return true;
    }
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == m_letter) {
        return letterKey(key);
    }
    if (watched == m_name) {
        const int code = key->key();
        if (code == Qt::Key_Up || code == Qt::Key_Down || isEnter(key)) {
            nameKey(key);
            return true;
        }
    }
    if (watched == m_visible && isEnter(key)) {
        m_apply->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// `txtLetter_KeyPress`: a letter replaces the box's one character and moves on to the name;
// any other character is refused with the letter message. Returns whether the key was used;
// editing keys keep their use.
bool MusicCategoriesWindow::letterKey(QKeyEvent* key) {
    if (isEnter(key)) {
        m_name->setFocus();
        return true;
    }
    const QString text = key->text();
    if (text.size() != 1 || !text[0].isPrint()) {
        return false;  // Tab, arrows, Backspace: the box's own
    }
    const QChar typed = text[0];
    const char character = typed.unicode() < 128 ? static_cast<char>(typed.unicode()) : '\0';
    if (m_form.letterTyped(character)) {
        m_letter->setText(text);
        m_name->setFocus();
    }
    return true;
}

// `txtName_KeyDown`.
void MusicCategoriesWindow::nameKey(QKeyEvent* key) {
    if (key->key() == Qt::Key_Up) {
        m_letter->setFocus();
    } else if (key->key() == Qt::Key_Down) {
        m_visible->setFocus();
    } else {
        m_visible->setChecked(true);
        m_visible->setFocus();
    }
}

void MusicCategoriesWindow::printOnSystemPrinter() {
    if (m_form.lines().empty()) {
        return;
    }
    if (QPrinterInfo::defaultPrinter().isNull()) {
        m_errors.showError("No printer is set up; the categories were not printed.");
        return;
    }
    QPrinter printer(QPrinterInfo::defaultPrinter());
    const QDate date = QDate::currentDate();
    LocalDateTime today;
    today.year = date.year();
    today.month = date.month();
    today.day = date.day();
    printTo(printer, today);
}

bool MusicCategoriesWindow::printTo(QPrinter& printer, const LocalDateTime& today) {
    const std::vector<PrintLine> lines = m_form.printout(today);
    if (lines.empty()) {
        return false;
    }
    if (!paintPrintout(printer, lines)) {
        m_errors.showError("The printer could not start the print job.");
        return false;
    }
    return true;
}

}  // namespace dvx
