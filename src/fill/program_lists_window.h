#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "common/record_file.h"
#include "fill/music_categories.h"
#include "fill/program_list.h"
#include "settings/parameters.h"
#include "settings/program_list_records.h"
#include "ui/settings_dialog.h"
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
// either list), the alternate program's weekdays and
// hours, and the fill's six event slots. Each time it is opened it shows them afresh.
//
// The list commands (Add, Insert, Delete, Reset) reach the list files at once: each is one
// deliberate command on files the fill reads and counts its plays in while the window is open,
// so the window keeps no copy of them; Delete asks first. The schedule and the slots stay in the
// window until Apply (or Save on closing, SettingsDialog) writes them, the running parameters are
// reloaded and `reloaded` receives the main window's new caption. A time that is not one is
// marked and nothing is written. Writes to DXParams.dat are made durable through `diskSync`
// where given. Main thread only.
class ProgramListsWindow : public SettingsDialog {
    Q_OBJECT

  public:
    ProgramListsWindow(RecordFile& MusRotFileOne, RecordFile& MusRotFileTwo, RecordFile& MusicCat,
                       const Paths& paths, Parameters& parameters, ErrorReporter& errors,
                       std::function<void(const std::string& caption)> reloaded,
                       DiskSync* diskSync = nullptr, QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool applyEdits() override;

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
    void load();
    void loadSchedule();
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
};

}  // namespace dvx
