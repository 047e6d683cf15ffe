#include "app/window/menu_accessible.h"

#include <QAccessibleWidget>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QWidgetAction>

namespace {

// A menu text as it is read: without the & that marks the key of an entry, a
// doubled && read as one &.
QString WithoutMnemonic(const QString& text) {
    QString read;
    read.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] == QLatin1Char('&') && ++at == text.size()) break;
        read += text[at];
    }
    return read;
}

// The key that picks an entry in its open menu: the character after its single &.
QString MnemonicKey(const QString& text) {
    for (qsizetype at = 0; at + 1 < text.size(); ++at) {
        if (text[at] != QLatin1Char('&')) continue;
        if (text[at + 1] != QLatin1Char('&')) return text[at + 1].toUpper();
        ++at;
    }
    return {};
}

// The menu that shows an action: the first menu it was added to.
QMenu* MenuOf(const QAction* action) {
    for (QObject* holder : action->associatedObjects()) {
        auto* menu = qobject_cast<QMenu*>(holder);
        if (menu && menu->actions().contains(action)) return menu;
    }
    return nullptr;
}

// One entry of a menu, as Qt reads it but for its role: an entry that can be ticked
// is a check box, or a radio button when its group lets one entry alone be ticked.
class MenuEntryAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit MenuEntryAccessible(QAction* action) : action_(action) {}

    bool isValid() const override { return action_ && MenuOf(action_); }
    QObject* object() const override { return action_; }
    QWindow* window() const override {
        const QMenu* menu = isValid() ? MenuOf(action_) : nullptr;
        return menu ? menu->windowHandle() : nullptr;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QAccessibleInterface* parent() const override {
        return isValid() ? QAccessible::queryAccessibleInterface(MenuOf(action_)) : nullptr;
    }
    // A submenu is the one child of its entry.
    int childCount() const override { return isValid() && action_->menu() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 && childCount() == 1 ? QAccessible::queryAccessibleInterface(action_->menu()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && childCount() == 1 && child->object() == action_->menu() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QAccessibleInterface* submenu = child(0);
        return submenu && submenu->rect().contains(x, y) ? submenu : nullptr;
    }

    QString text(QAccessible::Text kind) const override {
        if (!isValid()) return {};
        if (kind == QAccessible::Name) return WithoutMnemonic(action_->text());
        if (kind == QAccessible::Accelerator) {
            const QKeySequence shortcut = action_->shortcut();
            return shortcut.isEmpty() ? MnemonicKey(action_->text()) : shortcut.toString(QKeySequence::NativeText);
        }
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        const QMenu* menu = isValid() ? MenuOf(action_) : nullptr;
        if (!menu) return {};
        const QRect entry = menu->actionGeometry(action_);
        return QRect(menu->mapToGlobal(entry.topLeft()), entry.size());
    }

    QAccessible::Role role() const override {
        if (!action_ || action_->isSeparator()) return QAccessible::Separator;
        if (!action_->isCheckable()) return QAccessible::MenuItem;
        const QActionGroup* group = action_->actionGroup();
        const bool exclusive = group && group->exclusionPolicy() != QActionGroup::ExclusionPolicy::None;
        return exclusive ? QAccessible::RadioButton : QAccessible::CheckBox;
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        const QMenu* menu = isValid() ? MenuOf(action_) : nullptr;
        if (!menu) {
            state.invalid = true;
            return state;
        }
        state.invisible = !menu->isVisible() || !action_->isVisible();
        state.focused = menu->activeAction() == action_;
        state.disabled = action_->isSeparator() || !action_->isEnabled();
        state.checkable = action_->isCheckable();
        state.checked = action_->isChecked();
        return state;
    }

    // A checkable entry toggles, a submenu's entry opens it, any other is pressed.
    QStringList actionNames() const override {
        if (!isValid() || action_->isSeparator()) return {};
        if (action_->menu()) return {showMenuAction()};
        return {action_->isCheckable() ? toggleAction() : pressAction()};
    }
    void doAction(const QString& name) override {
        if (!isValid() || !action_->isEnabled()) return;
        if (name == showMenuAction()) {
            QMenu* submenu = action_->menu();
            if (submenu && submenu->isVisible()) {
                submenu->hide();
            } else {
                MenuOf(action_)->setActiveAction(action_);
            }
        } else if (name == toggleAction() || name == pressAction()) {
            action_->trigger();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QAction> action_;
};

// A menu, whose children are its entries in their order; a submenu's parent is its
// entry in the menu that holds it, and its name that entry's when it has none.
class MenuAccessible : public QAccessibleWidget {
public:
    explicit MenuAccessible(QMenu* menu) : QAccessibleWidget(menu, QAccessible::PopupMenu) {}

    int childCount() const override { return int(Menu()->actions().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QAction*> entries = Menu()->actions();
        return index >= 0 && index < entries.size() ? QAccessible::queryAccessibleInterface(entries[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* entry = child ? qobject_cast<const QAction*>(child->object()) : nullptr;
        return entry ? int(Menu()->actions().indexOf(entry)) : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QAction* entry = Menu()->actionAt(Menu()->mapFromGlobal(QPoint(x, y)));
        return entry && !entry->isSeparator() ? QAccessible::queryAccessibleInterface(entry) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        QAction* active = Menu()->activeAction();
        return active ? QAccessible::queryAccessibleInterface(active) : nullptr;
    }

    QString text(QAccessible::Text kind) const override {
        const QString text = QAccessibleWidget::text(kind);
        if (kind != QAccessible::Name || !text.isEmpty()) return text;
        return WithoutMnemonic(Menu()->title());
    }

    QAccessibleInterface* parent() const override {
        QAction* entry = Menu()->menuAction();
        if (MenuOf(entry)) return QAccessible::queryAccessibleInterface(entry);
        return QAccessibleWidget::parent();
    }

private:
    QMenu* Menu() const { return static_cast<QMenu*>(widget()); }
};

// Every menu, and every entry of a menu but one that shows a widget of its own.
QAccessibleInterface* MenuFactory(const QString&, QObject* object) {
    if (auto* menu = qobject_cast<QMenu*>(object)) return new MenuAccessible(menu);
    auto* action = qobject_cast<QAction*>(object);
    if (action && !qobject_cast<QWidgetAction*>(action) && MenuOf(action)) return new MenuEntryAccessible(action);
    return nullptr;
}

}  // namespace

void InstallMenuReading() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(MenuFactory);
}
