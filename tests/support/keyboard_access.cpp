#include "support/keyboard_access.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <map>

namespace dvx::test {
namespace {

QString describe(const QObject* object) {
    const QString name = object->objectName();
    return name.isEmpty() ? QString::fromLatin1(object->metaObject()->className()) : name;
}

// The widgets that belong to `window` itself, not to a window within it.
template <typename T>
std::vector<T*> own(QWidget* window) {
    std::vector<T*> found;
    for (T* widget : window->findChildren<T*>()) {
        if (widget->window() == window) {
            found.push_back(widget);
        }
    }
    return found;
}

// Reports each letter that two of `keyed` share: (letter, who).
void reportShared(const std::vector<std::pair<QChar, QString>>& keyed, const QString& scope,
                  std::vector<QString>& problems) {
    std::map<QChar, QStringList> byKey;
    for (const auto& [key, who] : keyed) {
        byKey[key].append(who);
    }
    for (const auto& [key, who] : byKey) {
        if (who.size() > 1) {
            problems.push_back(
                QString("%1: Alt+%2 is shared by %3").arg(scope, key, who.join(", ")));
        }
    }
}

bool takesTabFocus(QWidget* widget) {
    return widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

QWidget* deepestProxy(QWidget* widget) {
    QWidget* proxy = nullptr;
    for (QWidget* next = widget->focusProxy(); next != nullptr; next = next->focusProxy()) {
        proxy = next;
    }
    return proxy;
}

// The control that Tab moves to from `from`, as QApplication does it: the next widget of the
// chain that takes focus itself or through its proxy, skipping the inside of compound controls.
QWidget* nextTabStop(QWidget* window, QWidget* from) {
    for (QWidget* test = from->nextInFocusChain(); test != nullptr && test != from;
         test = test->nextInFocusChain()) {
        QWidget* proxy = deepestProxy(test);
        const bool compound = proxy != nullptr && proxy->isAncestorOf(test);
        if (takesTabFocus(proxy != nullptr ? proxy : test) && !compound && test->isEnabled() &&
            test->window() == window && test->isVisibleTo(window) && proxy != from) {
            return proxy != nullptr ? proxy : test;
        }
    }
    return nullptr;
}

}  // namespace

QChar accessKey(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (caption[i + 1] != '&') {
                return caption[i + 1].toUpper();
            }
            ++i;
        }
    }
    return {};
}

std::vector<QString> accessKeyProblems(QWidget* window) {
    std::vector<QString> problems;
    std::vector<std::pair<QChar, QString>> keyed;
    for (QAbstractButton* button : own<QAbstractButton>(window)) {
        if (!button->isVisible() || button->text().isEmpty()) {
            continue;
        }
        const QChar key = accessKey(button->text());
        if (!key.isNull()) {
            keyed.emplace_back(key, describe(button));
        } else if (qobject_cast<QPushButton*>(button) != nullptr) {
            problems.push_back(QString("button \"%1\" has no access key").arg(button->text()));
        }
    }
    for (QLabel* label : own<QLabel>(window)) {
        const QChar key = accessKey(label->text());
        if (label->isVisible() && label->buddy() != nullptr && !key.isNull()) {
            keyed.emplace_back(key, describe(label));
        }
    }
    for (QMenuBar* bar : own<QMenuBar>(window)) {
        for (QAction* action : bar->actions()) {
            if (!action->isVisible() || action->text().isEmpty()) {
                continue;
            }
            const QChar key = accessKey(action->text());
            if (key.isNull()) {
                problems.push_back(QString("menu \"%1\" has no access key").arg(action->text()));
            } else {
                keyed.emplace_back(key, "menu " + QString(action->text()).remove('&'));
            }
        }
    }
    reportShared(keyed, "window", problems);
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        if (qobject_cast<QMenuBar*>(menu->parentWidget()) != nullptr && menu->title().isEmpty()) {
            continue;  // the menu bar's own menu of the entries that do not fit
        }
        std::vector<std::pair<QChar, QString>> entries;
        for (QAction* action : menu->actions()) {
            const QChar key = accessKey(action->text());
            if (action->isVisible() && !action->isSeparator() && !key.isNull()) {
                entries.emplace_back(key, QString(action->text()).remove('&'));
            }
        }
        reportShared(entries, "menu " + QString(menu->title()).remove('&'), problems);
    }
    return problems;
}

std::vector<QWidget*> tabChain(QWidget* window) {
    std::vector<QWidget*> chain;
    QWidget* focus = window->focusWidget();
    for (QWidget* stop = focus != nullptr && focus->isVisible() && takesTabFocus(focus)
                             ? focus
                             : nextTabStop(window, window);
         stop != nullptr && std::ranges::find(chain, stop) == chain.end();
         stop = nextTabStop(window, stop)) {
        chain.push_back(stop);
    }
    if (QWidget* last = chain.empty() ? nullptr : nextTabStop(window, chain.back());
        last != nullptr && last != chain.front()) {
        chain.push_back(last);  // where the chain comes round: shown by tabChainProblems
    }
    return chain;
}

std::vector<QString> tabChainProblems(QWidget* window) {
    std::vector<QString> problems;
    std::vector<QWidget*> chain = tabChain(window);
    if (chain.size() > 1 && std::ranges::find(chain, chain.back()) != chain.end() - 1) {
        problems.push_back(QString("Tab comes round to %1 before the first control, %2")
                               .arg(describe(chain.back()), describe(chain.front())));
    }
    for (QWidget* widget : own<QWidget>(window)) {
        if (widget->focusProxy() == nullptr && takesTabFocus(widget) &&
            widget->isVisibleTo(window) && std::ranges::find(chain, widget) == chain.end()) {
            problems.push_back(QString("Tab never reaches %1").arg(describe(widget)));
        }
    }
    return problems;
}

}  // namespace dvx::test
