#include "support/accessible_controls.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMetaEnum>
#include <QWidget>
#include <algorithm>
#include <map>
#include <set>
#include <span>

namespace dvx::test {
namespace {

// What a user operates.
constexpr QAccessible::Role kControlRoles[] = {
    QAccessible::PushButton,   QAccessible::CheckBox,       QAccessible::RadioButton,
    QAccessible::EditableText, QAccessible::SpinBox,        QAccessible::Slider,
    QAccessible::Dial,         QAccessible::List,           QAccessible::Table,
    QAccessible::Tree,         QAccessible::ComboBox,       QAccessible::MenuItem,
    QAccessible::ButtonMenu,   QAccessible::ButtonDropDown, QAccessible::PageTab};
// The rows of a list or a table are its content, named by what they show; the parts of a combo
// box, spin box or slider are the control itself.
constexpr QAccessible::Role kWholeRoles[] = {QAccessible::List,    QAccessible::Table,
                                             QAccessible::Tree,    QAccessible::ComboBox,
                                             QAccessible::SpinBox, QAccessible::Slider};

bool isOneOf(QAccessible::Role role, std::span<const QAccessible::Role> roles) {
    return std::ranges::find(roles, role) != roles.end();
}

QString roleName(QAccessible::Role role) {
    return QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(role));
}

QString describe(QAccessibleInterface* item) {
    QObject* object = item->object();
    QString where = object != nullptr ? object->objectName() : QString();
    if (where.isEmpty() && object != nullptr) {
        where = QString::fromLatin1(object->metaObject()->className());
    }
    return where + " (" + roleName(item->role()) + ")";
}

// The menus of a menu bar are reached through its entries; the one more that Qt keeps for
// entries that do not fit repeats them.
bool inMenuBar(const QMenu* menu) {
    for (const QWidget* owner = menu->parentWidget(); owner != nullptr && !owner->isWindow();
         owner = owner->parentWidget()) {
        if (qobject_cast<const QMenuBar*>(owner) != nullptr) {
            return true;
        }
    }
    return false;
}

class ControlWalk {
  public:
    explicit ControlWalk(QWidget* window) : m_window(window) {}

    std::vector<AccessibleControl> run() {
        visit(QAccessible::queryAccessibleInterface(m_window), {});
        // Pop-up menus that no menu entry opens (a list's context menu) are reached only here.
        // They are announced by their own name, which the entries' names follow.
        for (QMenu* menu : m_window->findChildren<QMenu*>()) {
            if (menu->parentWidget() == nullptr || menu->parentWidget()->window() != m_window ||
                m_menus.contains(menu) || inMenuBar(menu)) {
                continue;
            }
            QAccessibleInterface* popup = QAccessible::queryAccessibleInterface(menu);
            const QString name = popup->text(QAccessible::Name);
            m_found.push_back({popup->role(), name, {}, describe(popup)});
            visit(popup, name);
        }
        return m_found;
    }

  private:
    void visit(QAccessibleInterface* item, const QString& scope) {
        if (item == nullptr) {
            return;
        }
        QObject* object = item->object();
        auto* widget = qobject_cast<QWidget*>(object);
        auto* menu = qobject_cast<QMenu*>(object);
        if (widget != nullptr && widget != m_window && widget->isWindow() && menu == nullptr) {
            return;  // another window: it is walked on its own
        }
        if (menu != nullptr && !m_menus.insert(menu).second) {
            return;
        }
        const QAccessible::Role role = item->role();
        const QString name = item->text(QAccessible::Name);
        if (isOneOf(role, kControlRoles)) {
            m_found.push_back({role, name, scope, describe(item)});
        }
        if (isOneOf(role, kWholeRoles)) {
            return;
        }
        // The entries of a menu are heard after the menu's own name.
        const QString inner =
            role != QAccessible::MenuItem ? scope : (scope.isEmpty() ? name : scope + " > " + name);
        for (int i = 0; i < item->childCount(); ++i) {
            visit(item->child(i), inner);
        }
    }

    QWidget* m_window;
    std::vector<AccessibleControl> m_found;
    std::set<QMenu*> m_menus;
};

}  // namespace

std::vector<AccessibleControl> accessibleControls(QWidget* window) {
    return ControlWalk(window).run();
}

std::vector<QString> namingProblems(const std::vector<AccessibleControl>& controls) {
    std::vector<QString> problems;
    std::map<std::pair<QString, QString>, std::vector<QString>> named;
    for (const AccessibleControl& control : controls) {
        if (control.name.trimmed().isEmpty()) {
            problems.push_back(control.where + " has no accessible name");
        } else {
            named[{control.scope, control.name}].push_back(control.where);
        }
    }
    for (const auto& [key, wheres] : named) {
        if (wheres.size() > 1) {
            const QString name = key.first.isEmpty() ? key.second : key.first + " > " + key.second;
            problems.push_back("\"" + name + "\" names " +
                               QStringList(wheres.begin(), wheres.end()).join(", "));
        }
    }
    return problems;
}

}  // namespace dvx::test
