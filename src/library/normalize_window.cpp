#include "library/normalize_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "notify/window_helpers.h"

namespace dvx {

NormalizeWindow::NormalizeWindow(Clock& clock, SoundFiles& files, ErrorReporter& errors,
                                 std::filesystem::path path, QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmNormalize");
    setWindowTitle("Normalize");
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    m_slider = new QSlider(Qt::Vertical, this);
    m_slider->setObjectName("Slider");
    m_slider->setAccessibleName("Normalize level");
    m_slider->setRange(0, kNormalizeFullScale);
    m_slider->setToolTip("Play 1 Audio Level");
    m_slider->setStyleSheet(
        "QSlider::handle:vertical { background: rgb(255, 0, 0); height: 12px; }");
    m_slider->setMinimumHeight(160);
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        if (m_form && !m_programSets) {
            m_form->sliderMoved(value);
        }
    });
    m_level = new QLabel(this);
    m_level->setObjectName("lblLevel");
    m_gauge = new QProgressBar(this);
    m_gauge->setObjectName("Gauge");
    m_gauge->setAccessibleName("Normalize progress");
    m_gauge->setRange(0, 0);  // busy: the work does not say how far it is
    m_gauge->setFormat("Normalize...");
    m_gauge->setTextVisible(true);
    m_normalize = new QPushButton("&Normalize", this);
    m_normalize->setObjectName("cmdNormalize");
    auto* closeButton = new QPushButton("&Close", this);
    closeButton->setObjectName("cmdClose");
    connect(m_normalize, &QPushButton::clicked, this, [this] { m_form->normalize(); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto* sliderRow = new QHBoxLayout;
    sliderRow->addWidget(m_slider);
    sliderRow->addWidget(m_level, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_normalize);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    addFilesMenu(this, layout);
    layout->addLayout(sliderRow, 1);
    layout->addWidget(m_gauge);
    layout->addLayout(buttons);

    m_form = std::make_unique<NormalizeForm>(clock, files, errors,
                                             static_cast<NormalizeView&>(*this), std::move(path));
    m_form->open();
}

NormalizeWindow::~NormalizeWindow() {
    m_slider->blockSignals(true);
    m_form.reset();  // waits for a job under way
}

void NormalizeWindow::closeEvent(QCloseEvent* event) {
    if (m_form->isWorking()) {
        event->ignore();  // the file is being rewritten: the window goes once it is whole
        return;
    }
    event->accept();
}

void NormalizeWindow::reject() {
    close();
}

void NormalizeWindow::showSlider(int position) {
    m_programSets = true;
    m_slider->setValue(position);
    m_programSets = false;
}

void NormalizeWindow::showLevel(const std::string& text) {
    m_level->setText(QString::fromStdString(text));
}

void NormalizeWindow::showWorking(bool working) {
    m_gauge->setVisible(working);
    m_slider->setEnabled(!working);
    m_normalize->setEnabled(!working);
}

}  // namespace dvx
