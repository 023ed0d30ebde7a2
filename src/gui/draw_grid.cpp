#include "gui/draw_grid.h"

#include "gui/layout_scale.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kLine = 1;
// A narrower column could no longer be told apart from its separator.
constexpr int kMinColumnWidth = 3;
// How near a separator the pointer must be to grab it.
constexpr int kSizingZone = 2;
// One paint a frame at most, however many cells change meanwhile.
constexpr int kFrameMs = 16;

} // namespace

TDrawGrid::TDrawGrid(QWidget* parent)
    : QAbstractScrollArea(parent), colWidths_(2, defaultColWidth_), frameTimer_(new QTimer(this))
{
    frameTimer_->setSingleShot(true);
    frameTimer_->setInterval(kFrameMs);
    connect(frameTimer_, &QTimer::timeout, this, &TDrawGrid::PaintPendingCells);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    // The grid scrolls by whole cells, so its bars count rows and columns.
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    UpdateRowHeight();
    UpdateScrollBars();
}

void TDrawGrid::SetColCount(int count)
{
    colWidths_.resize(size_t(std::max(count, 2)), defaultColWidth_);
    col_ = std::min(col_, ColCount() - 1);
    UpdateScrollBars();
    viewport()->update();
}

void TDrawGrid::SetRowCount(int count)
{
    rowCount_ = std::max(count, 2);
    row_ = std::min(row_, rowCount_ - 1);
    UpdateScrollBars();
    viewport()->update();
}

int TDrawGrid::ColWidth(int column) const
{
    return column >= 0 && column < ColCount() ? colWidths_[size_t(column)] : 0;
}

void TDrawGrid::SetColWidth(int column, int width)
{
    if (column < 0 || column >= ColCount())
        return;
    colWidths_[size_t(column)] = std::max(width, kMinColumnWidth);
    UpdateScrollBars();
    viewport()->update();
}

bool TDrawGrid::SetCurrentCell(int column, int row)
{
    if (column < 1 || row < 1 || column >= ColCount() || row >= rowCount_)
        return false;
    col_ = column;
    row_ = row;
    ScrollIntoView(column, row);
    viewport()->update();
    return true;
}

void TDrawGrid::InvalidateCells(int firstColumn, int firstRow, int lastColumn, int lastRow)
{
    // The fixed row and column, then the scrolled part of each range.
    std::vector<std::pair<int, int>> rowSpans;
    if (firstRow == 0)
        rowSpans.emplace_back(0, 0);
    if (const int from = std::max({firstRow, topRow_, 1}), to = std::min(lastRow, LastVisibleRow()); from <= to)
        rowSpans.emplace_back(from, to);
    std::vector<std::pair<int, int>> columnSpans;
    if (firstColumn == 0)
        columnSpans.emplace_back(0, 0);
    if (const int from = std::max({firstColumn, leftCol_, 1}), to = std::min(lastColumn, LastVisibleColumn());
        from <= to)
        columnSpans.emplace_back(from, to);

    QRegion changed;
    for (const auto& [fromRow, toRow] : rowSpans) {
        for (const auto& [fromColumn, toColumn] : columnSpans) {
            const int left = ColumnLeft(fromColumn);
            const int right = ColumnLeft(toColumn) + ColWidth(toColumn) + kLine;
            const int top = RowTop(fromRow);
            const int bottom = RowTop(toRow) + rowHeight_ + kLine;
            changed += QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
        }
    }
    if (changed.isEmpty())
        return;
    pendingCells_ += changed;
    if (!frameTimer_->isActive())
        frameTimer_->start();
}

void TDrawGrid::PaintPendingCells()
{
    viewport()->update(pendingCells_);
    pendingCells_ = QRegion();
}

int TDrawGrid::LastVisibleColumn() const
{
    int last = leftCol_ - 1;
    for (int c = leftCol_, left = ColWidth(0) + kLine; c < ColCount() && left < viewport()->width(); ++c) {
        last = c;
        left += ColWidth(c) + kLine;
    }
    return last;
}

int TDrawGrid::LastVisibleRow() const
{
    const int bands = (viewport()->height() + rowHeight_) / (rowHeight_ + kLine);
    return std::min(rowCount_ - 1, topRow_ + bands - 2);
}

void TDrawGrid::SetTopRow(int row) { verticalScrollBar()->setValue(row); }

int TDrawGrid::ColumnLeft(int column) const
{
    if (column == 0)
        return 0;
    if (column < leftCol_ || column >= ColCount())
        return -1;
    int left = ColWidth(0) + kLine;
    for (int k = leftCol_; k < column; ++k)
        left += ColWidth(k) + kLine;
    return left;
}

int TDrawGrid::RowTop(int row) const
{
    if (row == 0)
        return 0;
    if (row < topRow_ || row >= rowCount_)
        return -1;
    return (rowHeight_ + kLine) * (1 + row - topRow_);
}

QRect TDrawGrid::CellRect(int column, int row) const
{
    const int left = ColumnLeft(column);
    const int top = RowTop(row);
    if (left < 0 || top < 0 || left >= viewport()->width() || top >= viewport()->height())
        return {};
    return {left, top, ColWidth(column), rowHeight_};
}

QPoint TDrawGrid::MouseCoord(const QPoint& at) const
{
    int column = -1;
    if (at.x() >= 0 && at.x() < viewport()->width()) {
        int right = ColWidth(0) + kLine;
        if (at.x() < right)
            column = 0;
        for (int c = leftCol_; column < 0 && c < ColCount(); ++c) {
            right += ColWidth(c) + kLine;
            if (at.x() < right)
                column = c;
        }
    }
    int row = -1;
    if (at.y() >= 0 && at.y() < viewport()->height()) {
        const int band = at.y() / (rowHeight_ + kLine);
        const int candidate = band == 0 ? 0 : topRow_ + band - 1;
        if (candidate < rowCount_)
            row = candidate;
    }
    return {column, row};
}

int TDrawGrid::SizingColumnAt(const QPoint& at) const
{
    if (at.y() < 0 || at.y() >= rowHeight_ + kLine)
        return -1;
    int found = -1;
    int nearest = kSizingZone + 1;
    const auto consider = [&](int column, int left) {
        // On a tie the later column wins, so a column dragged very narrow can
        // still be widened again.
        const int distance = std::abs(at.x() - (left + ColWidth(column)));
        if (distance <= nearest) {
            nearest = distance;
            found = column;
        }
    };
    consider(0, 0);
    int left = ColWidth(0) + kLine;
    for (int c = leftCol_; c < ColCount() && left <= viewport()->width(); ++c) {
        consider(c, left);
        left += ColWidth(c) + kLine;
    }
    return found;
}

int TDrawGrid::FullyVisibleRows() const
{
    const int area = viewport()->height() - (rowHeight_ + kLine);
    return std::max(1, area / (rowHeight_ + kLine));
}

void TDrawGrid::UpdateRowHeight()
{
    const LayoutScale scale(this);
    rowHeight_ = std::max(scale(24), fontMetrics().height() + scale(8));
}

void TDrawGrid::UpdateScrollBars()
{
    const int rows = FullyVisibleRows();
    verticalScrollBar()->setRange(1, std::max(1, rowCount_ - rows));
    verticalScrollBar()->setPageStep(rows);

    // The leftmost first column from which all remaining columns fit.
    const int available = viewport()->width() - (ColWidth(0) + kLine);
    int maxLeft = ColCount() - 1;
    int used = ColWidth(maxLeft) + kLine;
    while (maxLeft > 1 && used + ColWidth(maxLeft - 1) + kLine <= available) {
        --maxLeft;
        used += ColWidth(maxLeft) + kLine;
    }
    horizontalScrollBar()->setRange(1, maxLeft);
    horizontalScrollBar()->setPageStep(std::max(1, ColCount() - maxLeft));

    topRow_ = verticalScrollBar()->value();
    leftCol_ = horizontalScrollBar()->value();
}

void TDrawGrid::ScrollIntoView(int column, int row)
{
    const int rows = FullyVisibleRows();
    if (row < topRow_)
        verticalScrollBar()->setValue(row);
    else if (row >= topRow_ + rows)
        verticalScrollBar()->setValue(row - rows + 1);

    if (column < leftCol_) {
        horizontalScrollBar()->setValue(column);
    } else {
        const int available = viewport()->width() - (ColWidth(0) + kLine);
        int right = 0;
        for (int c = leftCol_; c <= column; ++c)
            right += ColWidth(c) + kLine;
        int left = leftCol_;
        for (; right > available && left < column; ++left)
            right -= ColWidth(left) + kLine;
        horizontalScrollBar()->setValue(left);
    }
}

void TDrawGrid::MoveCurrentBy(int columns, int rows)
{
    SetCurrentCell(std::clamp(col_ + columns, 1, ColCount() - 1), std::clamp(row_ + rows, 1, rowCount_ - 1));
}

void TDrawGrid::DblClick(const QPoint&) {}

void TDrawGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    const int width = viewport()->width();
    const int height = viewport()->height();
    painter.fillRect(dirty, palette().color(QPalette::Base));

    std::vector<std::pair<int, int>> columns{{0, 0}};
    for (int c = leftCol_, left = ColWidth(0) + kLine; c < ColCount() && left < width; ++c) {
        columns.emplace_back(c, left);
        left += ColWidth(c) + kLine;
    }
    std::vector<std::pair<int, int>> rows{{0, 0}};
    for (int r = topRow_, top = rowHeight_ + kLine; r < rowCount_ && top < height; ++r) {
        rows.emplace_back(r, top);
        top += rowHeight_ + kLine;
    }
    const int gridRight = columns.back().second + ColWidth(columns.back().first) + kLine;
    const int gridBottom = rows.back().second + rowHeight_ + kLine;

    for (const auto& [row, top] : rows) {
        for (const auto& [column, left] : columns) {
            const QRect rect(left, top, ColWidth(column), rowHeight_);
            if (!rect.intersects(dirty))
                continue;
            TCellState state;
            state.fixed = row == 0 || column == 0;
            state.selected = column == col_ && row == row_;
            state.focused = state.selected && hasFocus();
            painter.save();
            painter.setClipRect(rect);
            DrawCell(painter, column, row, rect, state);
            painter.restore();
            if (state.focused) {
                QStyleOptionFocusRect focus;
                focus.initFrom(this);
                focus.rect = rect;
                focus.backgroundColor = palette().color(QPalette::Highlight);
                style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
            }
        }
    }

    QStyleOption option;
    option.initFrom(this);
    const QColor lineColor =
        QColor::fromRgba(QRgb(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    for (const auto& [column, left] : columns)
        painter.fillRect(QRect(left + ColWidth(column), 0, kLine, gridBottom), lineColor);
    for (const auto& [row, top] : rows)
        painter.fillRect(QRect(0, top + rowHeight_, gridRight, kLine), lineColor);
}

void TDrawGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TDrawGrid::scrollContentsBy(int, int)
{
    topRow_ = verticalScrollBar()->value();
    leftCol_ = horizontalScrollBar()->value();
    viewport()->update();
}

void TDrawGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    sizingColumn_ = SizingColumnAt(at);
    if (sizingColumn_ < 0) {
        const QPoint cell = MouseCoord(at);
        SetCurrentCell(cell.x(), cell.y());
    }
    event->accept();
}

void TDrawGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (sizingColumn_ >= 0) {
        SetColWidth(sizingColumn_, at.x() - ColumnLeft(sizingColumn_));
    } else if (event->buttons() & Qt::LeftButton) {
        const QPoint cell = MouseCoord(at);
        SetCurrentCell(cell.x(), cell.y());
    } else if (SizingColumnAt(at) >= 0) {
        viewport()->setCursor(Qt::SplitHCursor);
    } else {
        viewport()->unsetCursor();
    }
    event->accept();
}

void TDrawGrid::mouseReleaseEvent(QMouseEvent* event)
{
    sizingColumn_ = -1;
    event->accept();
}

void TDrawGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && SizingColumnAt(at) < 0)
        DblClick(at);
    event->accept();
}

void TDrawGrid::keyPressEvent(QKeyEvent* event)
{
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up: MoveCurrentBy(0, -1); break;
    case Qt::Key_Down: MoveCurrentBy(0, 1); break;
    case Qt::Key_Left: MoveCurrentBy(-1, 0); break;
    case Qt::Key_Right: MoveCurrentBy(1, 0); break;
    case Qt::Key_PageUp: MoveCurrentBy(0, -FullyVisibleRows()); break;
    case Qt::Key_PageDown: MoveCurrentBy(0, FullyVisibleRows()); break;
    case Qt::Key_Home: SetCurrentCell(1, control ? 1 : row_); break;
    case Qt::Key_End: SetCurrentCell(ColCount() - 1, control ? rowCount_ - 1 : row_); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
}

void TDrawGrid::contextMenuEvent(QContextMenuEvent* event)
{
    if (popupMenu_ == nullptr) {
        event->ignore();
        return;
    }
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        // The menu's commands act on the current cell: make it the one the
        // user clicked.
        const QPoint cell = MouseCoord(viewport()->mapFromGlobal(at));
        SetCurrentCell(cell.x(), cell.y());
    } else {
        const QRect rect = CellRect(col_, row_);
        at = viewport()->mapToGlobal(rect.isEmpty() ? QPoint() : rect.center());
    }
    popupMenu_->popup(at);
    event->accept();
}

void TDrawGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TDrawGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void TDrawGrid::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateRowHeight();
        UpdateScrollBars();
    }
    viewport()->update();
}
