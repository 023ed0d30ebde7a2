#include "gui/grid_books.h"

#include "calil/calil_links.h"
#include "gui/layout_scale.h"
#include "gui/url_opener.h"
#include "results/csv_writer.h"
#include "results/lending_status.h"
#include "results/result_columns.h"

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

    // A delivery repaints its own cells, and only where they are on screen:
    // a long search delivers tens of thousands of answers.
    connect(&table_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                InvalidateCells(topLeft.column(), topLeft.row() + 1, bottomRight.column(), bottomRight.row() + 1);
            });
    connect(&table_, &QAbstractItemModel::headerDataChanged, this,
            [this](Qt::Orientation, int first, int last) { InvalidateCells(first, 0, last, 0); });
    connect(&table_, &QAbstractItemModel::layoutChanged, this, [this] { viewport()->update(); });
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

QString TGridBooks::GetCellDisplayText(int column, int row) const
{
    const TLibraryAnswer* answer = table_.GetLibraryAnswer(column, row);
    if (answer != nullptr && answer->Kind == TLibraryAnswer::TKind::Found && !answer->Status.isEmpty())
        return answer->Status;
    return GetCellText(column, row);
}

QString TGridBooks::CalilPageOf(int column, int row) const
{
    if (row < 1 || row > int(table_.Books().size()) || !table_.HasLendingStatus(column))
        return QString();
    return CalilBookUrl(GetCellText(kColumnIsbn, row));
}

void TGridBooks::OpenCalilPage(int row, int column) const { OpenUrlInBrowser(CalilPageOf(column, row)); }

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
        text = GetCellDisplayText(column, row);

    const TLibraryAnswer* answer = row > 0 ? table_.GetLibraryAnswer(column, row) : nullptr;
    const bool failed = row > 0 && table_.GetCellFailure(column, row).has_value();
    const TShelfState shelf = answer != nullptr && answer->Kind == TLibraryAnswer::TKind::Found
                                  ? ShelfStateOf(answer->Status)
                                  : TShelfState::Unknown;
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
    else if (shelf == TShelfState::OnShelf)
        background = kOnShelfCellColor;
    else if (shelf == TShelfState::Out)
        background = kOutCellColor;
    if (!state.selected && !state.fixed) {
        if (failed)
            foreground = kFailedTextColor;
        else if (shelf == TShelfState::OnShelf)
            foreground = kOnShelfTextColor;
        else if (shelf == TShelfState::Out)
            foreground = kOutTextColor;
    }
    painter.fillRect(rect, background);

    const int inset = LayoutScale(this)(kTextInset);
    const QRect textRect = rect.adjusted(inset, inset, -inset, -inset);
    // Titles take "&" as the mark of a mnemonic; results show it as it is.
    const int flags = row == 0 ? int(Qt::TextSingleLine) | int(Qt::TextShowMnemonic) | int(Qt::AlignCenter)
                               : int(Qt::TextSingleLine) | int(Qt::AlignLeft | Qt::AlignVCenter);
    // An answer remembered from an earlier search: a small corner mark, its
    // date in the tooltip.
    if (row > 0 && !state.fixed && table_.GetCellFetched(column, row).isValid()) {
        const int size = LayoutScale(this)(kCachedMarkSize);
        const QPoint corner = rect.topRight();
        const QPoint triangle[] = {corner, corner - QPoint(size, 0), corner + QPoint(0, size)};
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kCachedMarkColor);
        painter.drawPolygon(triangle, 3);
        painter.restore();
    }
    painter.setPen(foreground);
    painter.setClipRect(textRect, Qt::IntersectClip);
    painter.drawText(textRect, flags, text);
}

QString TGridBooks::CellTip(int column, int row) const
{
    if (const std::optional<QString> failure = table_.GetCellFailure(column, row))
        return *failure;
    QStringList lines;
    // Where the status comes from, and where the cell leads.
    const TLibraryAnswer* answer = table_.GetLibraryAnswer(column, row);
    if (answer != nullptr && answer->Kind == TLibraryAnswer::TKind::Found && table_.HasLendingStatus(column)) {
        if (!answer->Status.isEmpty())
            lines.append(answer->Status);
        lines.append(answer->Url);
        lines.append(QStringLiteral("所蔵情報: カーリル"));
    }
    // How old an answer is that was not asked this time.
    if (const QDateTime fetched = table_.GetCellFetched(column, row); fetched.isValid())
        lines.append(FetchedNote(fetched));
    return lines.join(u'\n');
}

QString TGridBooks::FetchedNote(const QDateTime& fetched)
{
    return fetched.toLocalTime().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 取得");
}

bool TGridBooks::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return TDrawGrid::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QPoint cell = MouseCoord(help->pos());
    const QString text = CellTip(cell.x(), cell.y());
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // The text comes from a server or the network: shown as it stands,
    // never as markup.
    const QString tip = QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>").arg(text.toHtmlEscaped());
    QToolTip::showText(help->globalPos(), tip, viewport(), CellRect(cell.x(), cell.y()));
    return true;
}
