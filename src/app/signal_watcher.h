#pragma once

#include <QObject>

class QSocketNotifier;

namespace dvx {

// Turns SIGTERM and SIGINT into a Qt signal on the main thread, so that a service manager or
// Ctrl+C closes the program the same way as its Close button (files closed, nothing lost).
class SignalWatcher : public QObject {
    Q_OBJECT
  public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

  signals:
    void terminationRequested();

  private:
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace dvx
