#pragma once

#include <QWidget>
#include <limits>

namespace dvx {

// One channel's level meter (`MMLevelX1`...): a horizontal bar from -60 dBFS to 0 dBFS,
// green, then yellow above -12 dBFS and red above -3 dBFS, with a falling peak mark.
class LevelMeter : public QWidget {
    Q_OBJECT
  public:
    explicit LevelMeter(QWidget* parent = nullptr);

    // The magnitude of the channel's last peak sample, 0..32768.
    void setPeak(int magnitude);
    double levelDb() const { return m_levelDb; }
    // Marks the silence threshold (in dBFS; minus infinity for none) on the bar, so the operator
    // sees how far above it the feed runs.
    void setThresholdDb(double db);
    double thresholdDb() const { return m_thresholdDb; }

    QSize sizeHint() const override { return {240, 14}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double m_levelDb = -60.0;
    double m_holdDb = -60.0;
    double m_thresholdDb = -std::numeric_limits<double>::infinity();
};

// The dB scale under a pair of meters (`MMLevelScaleX1`...).
class LevelScale : public QWidget {
    Q_OBJECT
  public:
    explicit LevelScale(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {240, 16}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// Position of a dB value along a meter of the given width (-60 dB at 0, 0 dB at the end).
int meterPosition(double db, int width);

}  // namespace dvx
