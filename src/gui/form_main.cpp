#include "gui/form_main.h"

#include "gui/application_title.h"
#include "util/error.h"

#include <QMessageBox>

TFormMain::TFormMain(const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent), settingsFile_(settingsFile)
{
    setWindowTitle(ApplicationTitle());
    config_.Load(settingsFile_);
    resize(595, 617);
}

TFormMain::~TFormMain()
{
    try {
        config_.Save(settingsFile_);
    } catch (const QuillmoorError& error) {
        QMessageBox::critical(nullptr, ApplicationTitle(), error.message());
    }
}
