#include "app/window/calendar_accessible.h"

#include <QAccessibleWidget>
#include <QCalendarWidget>
#include <QPointer>
#include <QTableView>
#include <map>

#include "app/window/calendar_control.h"

namespace {

constexpr int kDaysInWeek = 7;

// The grid: a table of cells, numbered as the view numbers them in the focus and
// selection events it sends: row by row, the table's own header cells counted though
// the calendar hides them (its first slot the corner, then a row of column headers,
// and a row header before each row of the model). The model's first row holds the
// weekday headers. A number that names another cell than the view meant makes a
// screen reader announce the wrong day, and one past the end makes Qt warn.
class CalendarGridAccessible : public QAccessibleWidget {
public:
    explicit CalendarGridAccessible(QTableView* view) : QAccessibleWidget(view, QAccessible::Table), view_(view) {}

    ~CalendarGridAccessible() override {
        for (const auto& [index, id] : cells_) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override {
        return view_ && view_->model() ? (view_->model()->rowCount() + HeaderRows()) * Columns() : 0;
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
        return cell.isValid() ? child(IndexOf(cell)) : nullptr;
    }

    QAccessibleInterface* focusChild() const override {
        if (!view_ || !view_->hasFocus()) return nullptr;
        const QModelIndex current = view_->currentIndex();
        return current.isValid() ? child(IndexOf(current)) : nullptr;
    }

private:
    // The table's header row and header column, which the calendar keeps hidden.
    int HeaderRows() const { return view_->horizontalHeader() ? 1 : 0; }
    int HeaderColumns() const { return view_->verticalHeader() ? 1 : 0; }
    int Columns() const { return view_->model()->columnCount() + HeaderColumns(); }
    int IndexOf(const QModelIndex& cell) const {
        return (cell.row() + HeaderRows()) * Columns() + cell.column() + HeaderColumns();
    }

    QPointer<QTableView> view_;
    mutable std::map<int, QAccessible::Id> cells_;
    mutable int cellsColumns_ = 0;  // the table's columns when cells_ was made
};

// One cell: a weekday header, named by the whole day name, or a day, named by its
// number and described by its tooltip; or a slot of the table's hidden headers
// (row or column -1), invisible and nameless, as Qt reads a hidden header.
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
    QAccessible::Role role() const override {
        if (row_ < 0) return QAccessible::ColumnHeader;
        if (column_ < 0) return QAccessible::RowHeader;
        if (IsHeader()) return QAccessible::ColumnHeader;
        return IsWeekNumber() ? QAccessible::RowHeader : QAccessible::Cell;
    }

    QString text(QAccessible::Text kind) const override {
        if (!isValid() || IsHiddenHeader()) return {};
        if (kind == QAccessible::Name) {
            if (IsWeekNumber()) {
                const QString week = IsHeader() ? QString() : Index().data(Qt::DisplayRole).toString();
                return week.isEmpty() ? QStringLiteral("Semaine") : QStringLiteral("Semaine ") + week;
            }
            if (!IsHeader()) return Index().data(Qt::DisplayRole).toString();
            // Qt numbers the days Monday 1 to Sunday 7; the first day column is the week's first day.
            const auto* calendar = Calendar();
            const int first = calendar ? calendar->firstDayOfWeek() : Qt::Monday;
            const int day = column_ - (WeekNumbersShown() ? 1 : 0);
            return view_->locale().dayName((first - 1 + day) % kDaysInWeek + 1, QLocale::LongFormat);
        }
        if (kind == QAccessible::Description && !IsHeader() && !IsWeekNumber()) {
            // The window's grid tells a day's tooltip when asked, its model never holds it.
            const auto* control =
                Calendar() ? qobject_cast<const CalendarControl*>(Calendar()->parentWidget()) : nullptr;
            return control ? control->DayToolTip(control->DayOfCell(Index()))
                           : Index().data(Qt::ToolTipRole).toString();
        }
        return {};
    }

    QRect rect() const override {
        if (!isValid() || IsHiddenHeader()) return {};
        const QRect cell = view_->visualRect(Index());
        return QRect(view_->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = IsHiddenHeader();
        if (!isValid() || IsHiddenHeader() || IsHeader() || IsWeekNumber()) return state;
        const QModelIndex index = Index();
        state.selectable = state.focusable = true;
        state.selected = view_->selectionModel() && view_->selectionModel()->isSelected(index);
        state.focused = view_->hasFocus() && view_->currentIndex() == index;
        return state;
    }

private:
    bool IsHiddenHeader() const { return row_ < 0 || column_ < 0; }
    const QCalendarWidget* Calendar() const { return qobject_cast<const QCalendarWidget*>(view_->parentWidget()); }
    // The calendar's model shows its weekday headers as its first row, and the week
    // numbers, when shown, as its first column: a week's header, « Semaine 49 ».
    bool IsHeader() const {
        const auto* calendar = Calendar();
        return row_ == 0 && calendar && calendar->horizontalHeaderFormat() != QCalendarWidget::NoHorizontalHeader;
    }
    bool WeekNumbersShown() const {
        const auto* calendar = Calendar();
        return calendar && calendar->verticalHeaderFormat() != QCalendarWidget::NoVerticalHeader;
    }
    bool IsWeekNumber() const { return column_ == 0 && WeekNumbersShown(); }
    QModelIndex Index() const { return view_->model()->index(row_, column_); }

    QPointer<QTableView> view_;
    int row_, column_;
};

QAccessibleInterface* CalendarGridAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) return nullptr;
    // The week numbers add a column, or take it away: every number names another cell.
    if (Columns() != cellsColumns_) {
        for (const auto& [number, id] : cells_) QAccessible::deleteAccessibleInterface(id);
        cells_.clear();
        cellsColumns_ = Columns();
    }
    if (const auto found = cells_.find(index); found != cells_.end())
        return QAccessible::accessibleInterface(found->second);
    // The model's row and column of the slot; -1 in a hidden header.
    const int row = index / Columns() - HeaderRows();
    const int column = index % Columns() - HeaderColumns();
    auto* cell = new CalendarCellAccessible(view_, row, column);
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
