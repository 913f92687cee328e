#pragma once

#include <QDialog>
#include <functional>
#include <string_view>

#include "library/spot_recording.h"

class QLabel;
class QLineEdit;

namespace dvx {

// `frmSpecificFile` ("Record a Specific File"): the operator types a spot number and presses
// Enter (or OK); `reserve` answers, which reserves the number for the next import or, with no
// import window open, arms the spot files window's recording for it. A number that is taken is
// named in `Label1` and `Label2`; one outside 1..900 empties the box; a reserved one closes the
// window. OK after an answer hands the typed number to `deleteTyped` (the spot files window asks
// whether to delete that spot) and closes. Deleted when it closes. Main thread only.
class SpecificFileWindow : public QDialog {
    Q_OBJECT

  public:
    using Reserve = std::function<SpecificFileAnswer(std::string_view txtFileNumber)>;
    using DeleteTyped = std::function<void(std::string_view txtFileNumber)>;

    explicit SpecificFileWindow(Reserve reserve, QWidget* parent = nullptr,
                                DeleteTyped deleteTyped = {});

  private:
    void answer();  // Enter in txtFileNumber
    // cmdOK: the typed number answered first; after an answer, the typed number to
    // `deleteTyped`, and the window closes.
    void okClicked();

    Reserve m_reserve;
    DeleteTyped m_deleteTyped;
    bool m_answered = false;  // the box's text has had its answer
    QLineEdit* m_number = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
};

}  // namespace dvx
