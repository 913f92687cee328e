#pragma once

#include <QDialog>

namespace dvx {

// A library window: its form opens when the program shows it and closes with it; Escape
// closes it as its close button does.
class LibraryDialog : public QDialog {
  protected:
    explicit LibraryDialog(QWidget* parent) : QDialog(parent) { setModal(false); }
    virtual void opening() = 0;  // shown by the program, not brought back by the system
    virtual void closing() = 0;
    // Before the form goes: the controls signal and filter no more.
    void silenceControls();

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
};

}  // namespace dvx
