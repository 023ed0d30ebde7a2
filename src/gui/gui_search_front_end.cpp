#include "gui/gui_search_front_end.h"

#include "gui/application_title.h"

#include <QMessageBox>

void TGuiSearchFrontEnd::ShowMissingKeyWarning(const QString& text)
{
    QMessageBox::warning(owner_, ApplicationTitle(), text, QMessageBox::Ok);
}

void TGuiSearchFrontEnd::ShowCatalogueError(const QString& message)
{
    QMessageBox::critical(owner_, ApplicationTitle(), message, QMessageBox::Ok);
}
