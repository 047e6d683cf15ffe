#include "app/window/calendar_accessible.h"

#include <QAccessibleWidget>
#include <QCalendarWidget>
#include <QPointer>
#include <QTableView>
#include <map>

namespace {

constexpr int kDaysInWeek = 7;

// The grid: a table of cells, the first row its weekday headers. Its children are
// numbered row by row, as the view numbers them in the focus events it sends.
class CalendarGridAccessible : public QAccessibleWidget {
public:
    explicit CalendarGridAccessible(QTableView* view) : QAccessibleWidget(view, QAccessible::Table), view_(view) {}

    ~CalendarGridAccessible() override {
        for (const auto& [index, id] : cells_) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override {
        return view_ && view_->model() ? view_->model()->rowCount() * view_->model()->columnCount() : 0;
    }

    QAccessibleInterface* child(int index) const override;

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [index, id] : cells_) {
            if (QAccessible::accessibleInterface(id) == child) return index;
        }
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        if (!view_) return nullptr;
        const QModelIndex cell = view_->indexAt(view_->viewport()->mapFromGlobal(QPoint(x, y)));
        return cell.isValid() ? child(cell.row() * view_->model()->columnCount() + cell.column()) : nullptr;
    }

    QAccessibleInterface* focusChild() const override {
        if (!view_ || !view_->hasFocus()) return nullptr;
        const QModelIndex current = view_->currentIndex();
        return current.isValid() ? child(current.row() * view_->model()->columnCount() + current.column()) : nullptr;
    }

private:
    QPointer<QTableView> view_;
    mutable std::map<int, QAccessible::Id> cells_;
};

// One cell: a weekday header, named by the whole day name, or a day, named by its
// number and described by its tooltip.
class CalendarCellAccessible : public QAccessibleInterface {
public:
    CalendarCellAccessible(QTableView* view, int row, int column) : view_(view), row_(row), column_(column) {}

    bool isValid() const override { return view_ && view_->model(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return IsHeader() ? QAccessible::ColumnHeader : QAccessible::Cell; }

    QString text(QAccessible::Text kind) const override {
        if (!isValid()) return {};
        if (kind == QAccessible::Name) {
            if (!IsHeader()) return Index().data(Qt::DisplayRole).toString();
            // Qt numbers the days Monday 1 to Sunday 7; the first column is the week's first day.
            const auto* calendar = qobject_cast<const QCalendarWidget*>(view_->parentWidget());
            const int first = calendar ? calendar->firstDayOfWeek() : Qt::Monday;
            return view_->locale().dayName((first - 1 + column_) % kDaysInWeek + 1, QLocale::LongFormat);
        }
        if (kind == QAccessible::Description && !IsHeader()) return Index().data(Qt::ToolTipRole).toString();
        return {};
    }

    QRect rect() const override {
        if (!isValid()) return {};
        const QRect cell = view_->visualRect(Index());
        return QRect(view_->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid() || IsHeader()) return state;
        const QModelIndex index = Index();
        state.selectable = state.focusable = true;
        state.selected = view_->selectionModel() && view_->selectionModel()->isSelected(index);
        state.focused = view_->hasFocus() && view_->currentIndex() == index;
        return state;
    }

private:
    // The calendar's model shows its weekday headers as its first row.
    bool IsHeader() const {
        const auto* calendar = qobject_cast<const QCalendarWidget*>(view_->parentWidget());
        return row_ == 0 && calendar && calendar->horizontalHeaderFormat() != QCalendarWidget::NoHorizontalHeader;
    }
    QModelIndex Index() const { return view_->model()->index(row_, column_); }

    QPointer<QTableView> view_;
    int row_, column_;
};

QAccessibleInterface* CalendarGridAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) return nullptr;
    if (const auto found = cells_.find(index); found != cells_.end())
        return QAccessible::accessibleInterface(found->second);
    const int columns = view_->model()->columnCount();
    auto* cell = new CalendarCellAccessible(view_, index / columns, index % columns);
    cells_[index] = QAccessible::registerAccessibleInterface(cell);
    return cell;
}

// The grid is the one table view whose parent is a month calendar.
QAccessibleInterface* CalendarGridFactory(const QString&, QObject* object) {
    auto* view = qobject_cast<QTableView*>(object);
    if (view && qobject_cast<QCalendarWidget*>(view->parentWidget())) return new CalendarGridAccessible(view);
    return nullptr;
}

}  // namespace

void InstallCalendarGridReading() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(CalendarGridFactory);
}
