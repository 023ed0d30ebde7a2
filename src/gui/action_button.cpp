#include "gui/action_button.h"

#include <QAbstractButton>
#include <QAction>

void BindButtonToAction(QAbstractButton* button, QAction* action)
{
    const auto sync = [button, action] {
        button->setText(action->text());
        button->setIcon(action->icon());
        button->setToolTip(action->toolTip());
        button->setStatusTip(action->statusTip());
        button->setEnabled(action->isEnabled());
    };
    sync();
    QObject::connect(action, &QAction::changed, button, sync);
    QObject::connect(button, &QAbstractButton::clicked, action, [action] { action->trigger(); });
}
