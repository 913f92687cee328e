#include "library/library_controls.h"

#include <QAction>
#include <QCheckBox>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <limits>
#include <utility>

#include "notify/window_helpers.h"

namespace dvx {
namespace {

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

}  // namespace

QPushButton* makeButton(QWidget* parent, const char* objectName, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);  // Enter belongs to the boxes
    return button;
}

QLabel* makeLabel(QWidget* parent, const char* objectName, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

QAction* addEntry(QMenu* menu, const QString& caption, const char* objectName, bool enabled) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(objectName);
    action->setEnabled(enabled);
    return action;
}

bool isEnterKey(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

std::optional<BoxKey> boxKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return std::nullopt;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() == Qt::Key_Up) {
        return BoxKey::Up;
    }
    if (key->key() == Qt::Key_Down) {
        return BoxKey::Down;
    }
    if (isEnterKey(key)) {
        return BoxKey::Enter;
    }
    return std::nullopt;
}

LabelledBox addLabelledBox(QWidget* parent, QGridLayout* grid, int row, const char* objectName,
                           const QString& labelName, const QString& caption, int maxLength,
                           std::function<void(const std::string&)> edited) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(labelName);
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    if (maxLength > 0) {
        box->setMaxLength(maxLength);
    }
    const int shown = maxLength > 0 ? std::max(maxLength, 3) + 2 : 12;
    box->setMinimumWidth(QFontMetrics(box->font()).horizontalAdvance(QString(shown, 'W')) * 3 / 4);
    label->setBuddy(box);
    QObject::connect(
        box, &QLineEdit::textEdited, parent,
        [edited = std::move(edited)](const QString& text) { edited(toStoredText(text)); });
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
    return {label, box};
}

QListWidget* makeCatalogueList(QWidget* parent, const char* objectName, const char* family,
                               int columns, std::function<void(int)> chosen) {
    QFont fixed(family);
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    auto* list = new QListWidget(parent);
    list->setObjectName(objectName);
    list->setFont(fixed);
    list->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(columns, 'M')));
    // A screen reader selects an item without making it current: the item selected becomes the
    // current one, so what the operator sees chosen is what the commands act on.
    QObject::connect(list, &QListWidget::itemSelectionChanged, list, [list] {
        const QList<QListWidgetItem*> selected = list->selectedItems();
        if (selected.size() == 1 && selected.front() != list->currentItem()) {
            list->setCurrentItem(selected.front());
        }
    });
    if (chosen) {
        QObject::connect(list, &QListWidget::currentRowChanged, parent,
                         [list, chosen = std::move(chosen)](int row) {
                             if (row >= 0) {
                                 chosen(list->item(row)->data(Qt::UserRole).toInt());
                             }
                         });
    }
    return list;
}

void addListItem(QListWidget* list, const std::string& text, int itemData) {
    auto* item = new QListWidgetItem(fromStoredText(text), list);
    item->setData(Qt::UserRole, itemData);
}

bool markListItem(QListWidget* list, int itemData, bool toTop) {
    const QSignalBlocker quiet(list);
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem* item = list->item(row);
        if (item->data(Qt::UserRole).toInt() == itemData) {
            list->setCurrentRow(row);
            list->scrollToItem(
                item, toTop ? QAbstractItemView::PositionAtTop : QAbstractItemView::EnsureVisible);
            return true;
        }
    }
    return false;
}

SoundControls::SoundControls(QWidget* window, const char* timeLabel)
    : m_play(makeButton(window, "cmdPlay", "&Play")),
      m_pause(makeButton(window, "cmdPause", "P&ause")),
      m_stop(makeButton(window, "cmdStop", "&Stop")),
      m_eom(makeButton(window, "cmdEOM", "&EOM")),
      m_record(makeButton(window, "cmdRecord", "&Record")),
      m_trackBar(new QSlider(Qt::Horizontal, window)),
      m_time(makeLabel(window, timeLabel)),
      m_autoStart(new QCheckBox("Au&to Start", window)) {
    const auto run = [](const std::function<void()>& action) {
        if (action) {
            action();
        }
    };
    QObject::connect(m_play, &QPushButton::clicked, window, [=, this] { run(m_actions.play); });
    QObject::connect(m_pause, &QPushButton::clicked, window, [=, this] { run(m_actions.pause); });
    QObject::connect(m_stop, &QPushButton::clicked, window, [=, this] { run(m_actions.stop); });
    QObject::connect(m_eom, &QPushButton::clicked, window, [=, this] { run(m_actions.eom); });
    QObject::connect(m_record, &QPushButton::clicked, window, [=, this] { run(m_actions.record); });

    m_trackBar->setObjectName("TrackBar");
    m_trackBar->setAccessibleName("Playback position");
    QObject::connect(m_trackBar, &QSlider::valueChanged, window, [this](int value) {
        if (!m_programSets && m_actions.seek) {
            m_actions.seek(value);
        }
    });
    m_time->setMinimumWidth(QFontMetrics(m_time->font()).horizontalAdvance("00:00:00 "));

    m_autoStart->setObjectName("Check1");
    // Toggled, not clicked: assistive technology toggles a check box without clicking it.
    QObject::connect(m_autoStart, &QCheckBox::toggled, window, [this](bool checked) {
        if (!m_programSets && m_actions.autoStartToggled) {
            m_actions.autoStartToggled(checked);
        }
    });
}

void SoundControls::connectTo(Actions actions) {
    m_actions = std::move(actions);
}

QHBoxLayout* SoundControls::playerRow() const {
    auto* row = new QHBoxLayout;
    for (QWidget* widget : {m_play, m_pause, m_stop, m_eom}) {
        row->addWidget(widget);
    }
    row->addWidget(m_trackBar, 1);
    row->addWidget(m_time);
    return row;
}

QPushButton* SoundControls::button(LibraryButton which) const {
    switch (which) {
        case LibraryButton::Play:
            return m_play;
        case LibraryButton::Pause:
            return m_pause;
        case LibraryButton::Stop:
            return m_stop;
        case LibraryButton::EOM:
            return m_eom;
        case LibraryButton::Record:
            return m_record;
    }
    return m_stop;
}

void SoundControls::setButtonColour(LibraryButton which, Rgb colour) {
    QPushButton* target = button(which);
    const QString style = styleFor(colour);
    if (target->styleSheet() != style) {
        target->setStyleSheet(style);
    }
}

void SoundControls::setRecordButton(const std::string& caption, Rgb colour) {
    m_record->setText("&" + QString::fromStdString(caption));  // Alt+R whatever it says
    setButtonColour(LibraryButton::Record, colour);
}

void SoundControls::setAutoStartChecked(bool checked) {
    const bool before = std::exchange(m_programSets, true);
    m_autoStart->setChecked(checked);
    m_programSets = before;
}

void SoundControls::setTrackBarRange(std::int64_t maximumMs) {
    const bool before = std::exchange(m_programSets, true);
    m_trackBar->setRange(0, clampToInt(maximumMs));
    m_programSets = before;
}

void SoundControls::setTrackBarPosition(std::int64_t positionMs) {
    const bool before = std::exchange(m_programSets, true);
    m_trackBar->setValue(clampToInt(positionMs));
    m_programSets = before;
}

void SoundControls::showTime(const std::string& text) {
    m_time->setText(QString::fromStdString(text));
}

void SoundControls::focusButton(LibraryButton which) {
    button(which)->setFocus();
}

void SoundControls::setTrackBarVisible(bool visible) {
    m_trackBar->setVisible(visible);
}

void SoundControls::setTrackBarEnabled(bool enabled) {
    m_trackBar->setEnabled(enabled);
}

}  // namespace dvx
