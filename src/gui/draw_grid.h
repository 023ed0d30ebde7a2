#pragma once

#include <QAbstractScrollArea>
#include <QRegion>

#include <vector>

class QMenu;
class QPainter;
class QTimer;

// A grid whose cells the subclass paints itself. Row 0 and column 0 are
// fixed: they stay in place while the rest scrolls, by whole rows and
// columns, and the current cell is never one of them. Grid lines run
// between all cells; a column is widened or narrowed by dragging its
// separator in the fixed row; one cell is selected at a time, the current
// one.
class TDrawGrid : public QAbstractScrollArea
{
    Q_OBJECT

public:
    struct TCellState
    {
        bool selected = false;
        bool focused = false;
        bool fixed = false;
    };

    explicit TDrawGrid(QWidget* parent = nullptr);

    // Never below 2: one fixed and one scrolling column or row. Columns
    // added get the default width; those that stay keep theirs.
    int ColCount() const { return int(colWidths_.size()); }
    void SetColCount(int count);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);

    int ColWidth(int column) const;
    void SetColWidth(int column, int width);
    // The width of columns added from now on.
    void SetDefaultColWidth(int width) { defaultColWidth_ = width; }
    int RowHeight() const { return rowHeight_; }

    // The current cell: column, row.
    int Col() const { return col_; }
    int Row() const { return row_; }
    // Moves the current cell there and scrolls it into view; a fixed cell or
    // one outside the grid is refused.
    bool SetCurrentCell(int column, int row);

    int LeftCol() const { return leftCol_; }
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);

    // The cell's rectangle in viewport coordinates, grid line excluded;
    // empty when the cell is scrolled out of view.
    QRect CellRect(int column, int row) const;
    // The cell at a viewport point as (column, row); -1 for a coordinate
    // outside all cells.
    QPoint MouseCoord(const QPoint& at) const;

    // Repaints the cells of columns [firstColumn, lastColumn] and rows
    // [firstRow, lastRow] where they are on screen; cells scrolled out of
    // view cost nothing. Calls in a burst share one paint a frame.
    void InvalidateCells(int firstColumn, int firstRow, int lastColumn, int lastRow);

    // Opened by a right click (which first makes the cell under the pointer
    // current) and by the menu key; not owned.
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

protected:
    // Paints the cell completely, background and text, inside rect.
    virtual void DrawCell(QPainter& painter, int column, int row, const QRect& rect, TCellState state) = 0;
    // A double click at a viewport point; the grid itself does nothing.
    virtual void DblClick(const QPoint& at);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Left edge of a visible column, top edge of a visible row; -1 when
    // scrolled out of view.
    int ColumnLeft(int column) const;
    int RowTop(int row) const;
    // The column whose separator in the fixed row lies under the point, or -1.
    int SizingColumnAt(const QPoint& at) const;
    int FullyVisibleRows() const;
    void UpdateRowHeight();
    void UpdateScrollBars();
    void ScrollIntoView(int column, int row);
    void MoveCurrentBy(int columns, int rows);
    // The last column and row that show at least in part.
    int LastVisibleColumn() const;
    int LastVisibleRow() const;
    void PaintPendingCells();

    std::vector<int> colWidths_;
    int defaultColWidth_ = 64;
    int rowHeight_ = 24;
    int rowCount_ = 2;
    int col_ = 1;
    int row_ = 1;
    int leftCol_ = 1;
    int topRow_ = 1;
    int sizingColumn_ = -1;
    QMenu* popupMenu_ = nullptr;
    // Cells changed since the last frame, waiting for it.
    QRegion pendingCells_;
    QTimer* frameTimer_;
};
