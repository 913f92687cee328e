#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "common/record_file.h"
#include "fill/music_categories.h"
#include "fill/program_list.h"
#include "settings/parameters.h"
#include "settings/program_list_records.h"
#include "viewers/error_reporter.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QMenu;

namespace dvx {

class DiskSync;
class Paths;

// `frmMyProgramming` ("My Programming"): edits program lists one (`list1`, "Regular") and two
// (`List2`, "Alternate") from the categories in `lstName` (popup Add, or a double-click on
// either list), the alternate program's weekdays and hours, and the fill's six event slots. List
// edits reach the files at once; the schedule and the slots are written when the window closes, the
// running parameters are reloaded and `reloaded` receives the main window's new caption. Writes to
// DXParams.dat are made durable through `diskSync` where given. Main thread only.
class ProgramListsWindow : public QDialog {
    Q_OBJECT

  public:
    ProgramListsWindow(RecordFile& MusRotFileOne, RecordFile& MusRotFileTwo, RecordFile& MusicCat,
                       const Paths& paths, Parameters& parameters, ErrorReporter& errors,
                       std::function<void(const std::string& caption)> reloaded,
                       DiskSync* diskSync = nullptr, QWidget* parent = nullptr);

  public slots:
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct ListSide {
        ProgramList list;
        QListWidget* view = nullptr;
        QMenu* popup = nullptr;
    };

    // `label` is the list's label, which names its popup menu too.
    void makeListSide(ListSide& side, const char* listName, const char* menuPrefix,
                      const char* label, const char* resetCaption);
    void edit(const std::function<void()>& change);
    void loadSchedule();
    void saveSchedule();
    void showList(ListSide& side, std::optional<int> select);
    std::optional<int> selectedCategory();
    void add(ListSide& side);
    void insert(ListSide& side);
    void remove(ListSide& side);
    void reset(ListSide& side);

    MusicCategories m_categories;
    const Paths& m_paths;
    Parameters& m_parameters;
    ErrorReporter& m_errors;
    std::function<void(const std::string&)> m_reloaded;
    DiskSync* m_diskSync;
    ListSide m_one;
    ListSide m_two;
    QListWidget* m_names = nullptr;
    std::array<QCheckBox*, 8> m_Check1{};
    std::array<QLineEdit*, 8> m_txtStart{};
    std::array<QLineEdit*, 8> m_txtStop{};
    std::array<QLineEdit*, 7> m_txtEvent{};
    ProgramListRecords m_loaded;
    bool m_scheduleLoaded = false;
    bool m_saved = false;
};

}  // namespace dvx
