#pragma once

#include <QItemSelectionModel>

#include <functional>

// A selection model whose selection moves only onto items a rule allows,
// such as the prefecture nodes of a region tree. Any other change, clearing
// and deselecting included, is refused whole, so the selection never ends
// up empty or on a refused item. The current item still moves freely: keys
// and clicks reach a refused item, for instance to expand or collapse it.
// (clearSelection() is not virtual and still clears; nothing here calls it.)
class TGuardedSelectionModel final : public QItemSelectionModel
{
    Q_OBJECT

public:
    using Rule = std::function<bool(const QModelIndex& index)>;

    TGuardedSelectionModel(QAbstractItemModel* model, Rule mayBeSelected, QObject* parent);

    using QItemSelectionModel::select;
    void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override;

private:
    Rule mayBeSelected_;
};
