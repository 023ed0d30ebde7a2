#include "gui/grid_books.h"

#include "gui/layout_scale.h"
#include "gui/url_opener.h"
#include "results/csv_writer.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

constexpr int kColumnWidths[] = {80, 100, 50, 60, 45};
constexpr int kLibraryColumnWidth = 100;
constexpr int kTextInset = 2;

} // namespace

TGridBooks::TGridBooks(QWidget* parent) : TDrawGrid(parent)
{
    const LayoutScale scale(this);
    SetDefaultColWidth(scale(kLibraryColumnWidth));
    FollowTableShape();
    for (int column = 0; column < int(std::size(kColumnWidths)); ++column)
        SetColWidth(column, scale(kColumnWidths[column]));

    const auto repaintLater = [this] { viewport()->update(); };
    connect(&table_, &QAbstractItemModel::dataChanged, this, repaintLater);
    connect(&table_, &QAbstractItemModel::headerDataChanged, this, repaintLater);
    connect(&table_, &QAbstractItemModel::layoutChanged, this, repaintLater);
    connect(&table_, &QAbstractItemModel::rowsInserted, this, &TGridBooks::FollowTableShape);
    connect(&table_, &QAbstractItemModel::rowsRemoved, this, &TGridBooks::FollowTableShape);
    connect(&table_, &QAbstractItemModel::columnsInserted, this, &TGridBooks::FollowTableShape);
    connect(&table_, &QAbstractItemModel::columnsRemoved, this, &TGridBooks::FollowTableShape);
    connect(&table_, &QAbstractItemModel::modelReset, this, &TGridBooks::FollowTableShape);
    // A sort is on screen before its command ends and the hourglass goes.
    connect(&table_, &TResultsTable::SortFinished, this, [this] { viewport()->repaint(); });
}

void TGridBooks::FollowTableShape()
{
    SetColCount(table_.GridColumnCount());
    SetRowCount(table_.GridRowCount());
}

void TGridBooks::SaveToCsv(const QString& fileName) const { ::SaveToCsv(table_, fileName); }

void TGridBooks::OpenUrl(int row, int column) const
{
    if (row < 1 || column < 1 || table_.Books().empty())
        return;
    OpenUrlInBrowser(table_.GetCellUrl(column, row));
}

void TGridBooks::DblClick(const QPoint& at)
{
    const QPoint cell = MouseCoord(at);
    OpenUrl(cell.y(), cell.x());
}

void TGridBooks::DrawCell(QPainter& painter, int column, int row, const QRect& rect, TCellState state)
{
    QString text;
    if (row == 0)
        text = GetHeaderText(column);
    else if (!table_.Books().empty())
        text = GetCellText(column, row);

    const bool failed = row > 0 && table_.GetCellFailure(column, row).has_value();
    const QPalette& colors = palette();
    QColor background = colors.color(QPalette::Base);
    QColor foreground = colors.color(state.selected ? QPalette::HighlightedText : QPalette::Text);
    if (state.fixed)
        background = colors.color(QPalette::Button);
    else if (state.selected || state.focused)
        background = colors.color(QPalette::Highlight);
    else if (text.isEmpty())
        background = kEmptyCellColor;
    else if (failed)
        background = kFailedCellColor;
    if (failed && !state.selected)
        foreground = kFailedTextColor;
    painter.fillRect(rect, background);

    const int inset = LayoutScale(this)(kTextInset);
    const QRect textRect = rect.adjusted(inset, inset, -inset, -inset);
    // Titles take "&" as the mark of a mnemonic; results show it as it is.
    const int flags = row == 0 ? int(Qt::TextSingleLine) | int(Qt::TextShowMnemonic) | int(Qt::AlignCenter)
                               : int(Qt::TextSingleLine) | int(Qt::AlignLeft | Qt::AlignVCenter);
    painter.setPen(foreground);
    painter.setClipRect(textRect, Qt::IntersectClip);
    painter.drawText(textRect, flags, text);
}

bool TGridBooks::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return TDrawGrid::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QPoint cell = MouseCoord(help->pos());
    const std::optional<QString> failure = table_.GetCellFailure(cell.x(), cell.y());
    if (!failure) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // The reason comes from the server or the network: shown as it stands,
    // never as markup.
    const QString tip = QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>").arg(failure->toHtmlEscaped());
    QToolTip::showText(help->globalPos(), tip, viewport(), CellRect(cell.x(), cell.y()));
    return true;
}
