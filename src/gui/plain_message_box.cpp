#include "gui/plain_message_box.h"

#include <QLabel>

QMessageBox* MakePlainMessageBox(QMessageBox::Icon icon, QWidget* parent, const QString& title,
                                 const QString& text)
{
    auto* box = new QMessageBox(icon, title, QString(), QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    return box;
}

void KeepMessageBoxPlain(QMessageBox& box)
{
    box.setTextFormat(Qt::PlainText);
    for (QLabel* label : box.findChildren<QLabel*>()) {
        label->setTextFormat(Qt::PlainText);
        label->setOpenExternalLinks(false);
    }
}

void ShowPlainMessage(QMessageBox::Icon icon, QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox* box = MakePlainMessageBox(icon, parent, title, text);
    KeepMessageBoxPlain(*box);
    box->exec();
    delete box;
}
