#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include "common/unsaved_edits.h"

class QPushButton;

namespace dvx {

// The base of every settings window (preferences, connection, address book and call list,
// messages, music categories, program lists), which all keep and save their edits by one rule
// (UnsavedEdits): edits stay in the window until Apply or Close; Close (the button, Files > Exit,
// the close box, Escape) with edits not yet applied asks "Save changes to <title>?" with Save,
// Discard and Cancel. Enter presses the default button, Apply. The program's closing closes each
// open settings window first, so each asks in turn. The monitoring runs on while a question waits
// (the question runs the event loop). Main thread only.
class SettingsDialog : public QDialog {
    Q_OBJECT

  public:
    explicit SettingsDialog(QWidget* parent = nullptr);

    bool hasUnsavedEdits() const { return m_edits.pending(); }

    // Escape, Close and the close box come here: the window goes unless the question keeps it.
    void reject() override;

  protected:
    // Writes what the window holds. Returns false when a value was refused: the window has said
    // why in the error window, marked the control (markRefused) and written nothing.
    virtual bool applyEdits() = 0;
    // Drops the edits of a window that goes without saving. Nothing by default: each window reads
    // what is stored when it is opened again.
    virtual void discardEdits() {}

    // Counts every later change of these controls as an edit: the text of a box, a check box or
    // option button toggled, a list's selection. A change also clears the control's refusal mark.
    void watchEdits(const QList<QWidget*>& controls);
    // What the window shows is stored: after loading, after its own Apply, or after showing
    // another entry.
    void editsStored() { m_edits.stored(); }
    // What the window shows is not stored yet, though nobody typed it: values it proposes.
    void markEdited() { m_edits.edited(); }
    // Runs applyEdits for the Apply button; true when the values were accepted.
    bool applyNow();
    // Before the window shows something else in place of its edits (another entry): asks about
    // them as closing does. True when they were saved or discarded, or there were none.
    bool settleEdits();

    // A push button of the window; the caption carries its access key ("&New").
    QPushButton* newButton(const char* objectName, const QString& caption);
    // "&Apply", the default button: Enter in a box presses it.
    QPushButton* newApplyButton();
    // "&Close": closes the window as Escape does, asking first.
    QPushButton* newCloseButton();

    // "Delete <what>?" with Yes and No (the default); true for Yes.
    bool confirmDeletion(const QString& what);

  private:
    SaveAnswer askToSave();

    UnsavedEdits m_edits;
    bool m_asking = false;
};

}  // namespace dvx
