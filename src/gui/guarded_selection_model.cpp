#include "gui/guarded_selection_model.h"

#include <algorithm>
#include <utility>

TGuardedSelectionModel::TGuardedSelectionModel(QAbstractItemModel* model, Rule mayBeSelected, QObject* parent)
    : QItemSelectionModel(model, parent), mayBeSelected_(std::move(mayBeSelected))
{
}

void TGuardedSelectionModel::select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command)
{
    if (!command.testFlag(QItemSelectionModel::Select))
        return;
    const QModelIndexList indexes = selection.indexes();
    if (indexes.isEmpty() || !std::all_of(indexes.begin(), indexes.end(), mayBeSelected_))
        return;
    QItemSelectionModel::select(selection, command);
}
