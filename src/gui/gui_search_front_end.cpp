#include "gui/gui_search_front_end.h"

#include "gui/application_title.h"
#include "gui/plain_message_box.h"

#include <QCheckBox>
#include <QPushButton>

TGuiSearchFrontEnd::~TGuiSearchFrontEnd() { DismissCatalogueError(); }

void TGuiSearchFrontEnd::ShowMissingKeyWarning(const QString& text)
{
    ShowPlainMessage(QMessageBox::Warning, owner_, ApplicationTitle(), text);
}

void TGuiSearchFrontEnd::ShowCatalogueError(const QString& message, const QString& libraryName,
                                            ErrorAnswered answered)
{
    // The message comes from the server (its status line) or from the
    // network library: it is shown as it stands, never as markup.
    auto* box = MakePlainMessageBox(QMessageBox::Critical, owner_, ApplicationTitle(), message);
    box->setInformativeText(libraryName);
    box->setStandardButtons(QMessageBox::Ok);
    QPushButton* cancel = box->addButton(kCancelSearchCaption, QMessageBox::RejectRole);
    box->setDefaultButton(QMessageBox::Ok);
    // Escape and the title bar's close button mean OK, never "stop".
    box->setEscapeButton(QMessageBox::Ok);
    box->setCheckBox(new QCheckBox(kSilenceLibraryCaption, box));
    KeepMessageBoxPlain(*box);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // The worker waits until the box is closed, but the window's event loop
    // runs on: the box is window-modal and not executed in a loop of its own.
    QObject::connect(box, &QMessageBox::finished, box, [box, cancel, answered = std::move(answered)] {
        TCatalogueErrorChoice choice;
        choice.cancelSearch = box->clickedButton() == cancel;
        choice.silenceLibrary = box->checkBox()->isChecked();
        answered(choice);
    });
    errorBox_ = box;
    box->open();
}

void TGuiSearchFrontEnd::ShowSearchNotice(const QString& text)
{
    if (noticeDisplay_)
        noticeDisplay_(text);
}

void TGuiSearchFrontEnd::ShowCacheProblem(const QString& text)
{
    if (cacheProblemDisplay_)
        cacheProblemDisplay_(text);
}

void TGuiSearchFrontEnd::DismissCatalogueError()
{
    if (errorBox_.isNull())
        return;
    // Gone without an answer: nobody is waiting for one any more.
    QMessageBox* box = errorBox_;
    errorBox_.clear();
    QObject::disconnect(box, &QMessageBox::finished, nullptr, nullptr);
    delete box;
}
