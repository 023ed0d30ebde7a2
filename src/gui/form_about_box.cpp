#include "gui/form_about_box.h"

#include "gui/application_title.h"
#include "gui/layout_scale.h"
#include "gui/url_opener.h"
#include "util/app_info.h"

#include <QEvent>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

TFormAboutBox::TFormAboutBox(QWidget* parent) : QDialog(parent)
{
    // Read the table first: without it there is nothing to show.
    const TkAppInfo info;

    setWindowTitle(QStringLiteral("バージョン情報"));
    const LayoutScale scale(this);
    setFixedSize(scale(298), scale(178));

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(scale(8), scale(8), scale(281), scale(129));

    auto* icon = new QLabel(panel);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/quillmoor.svg")).pixmap(scale(32), scale(32)));
    icon->setGeometry(scale(8), scale(8), scale(32), scale(32));

    const auto label = [&](int top) {
        auto* l = new QLabel(panel);
        l->setGeometry(scale(56), scale(top), scale(281 - 56 - 8), scale(18));
        return l;
    };
    ProductName = label(8);
    Version = label(32);
    Copyright = label(56);
    LabelUrl = label(80);
    LabelCalil = label(104);

    ProductName->setText(ApplicationTitle());
    Version->setText(info.GetValue(3));
    Copyright->setText(info.GetValue(5));

    LabelUrl->setText(kHomePage);
    LabelUrl->setCursor(Qt::PointingHandCursor);
    LabelUrl->setToolTip(QStringLiteral("Quillmoorのホームページを開く"));
    LabelUrl->setStatusTip(QStringLiteral("Quillmoorのホームページを開く"));
    QFont font = LabelUrl->font();
    font.setUnderline(true);
    LabelUrl->setFont(font);
    QPalette palette = LabelUrl->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
    LabelUrl->setPalette(palette);
    LabelUrl->installEventFilter(this);
    LabelUrl->setTextFormat(Qt::PlainText);

    // Calil's terms: its holdings are shown with a link to it.
    LabelCalil->setText(QStringLiteral("蔵書・貸出状況: カーリル ") + kCalilPage);
    LabelCalil->setTextFormat(Qt::PlainText);
    LabelCalil->setCursor(Qt::PointingHandCursor);
    LabelCalil->setToolTip(QStringLiteral("カーリルのホームページを開く"));
    LabelCalil->setFont(font);
    LabelCalil->setPalette(palette);
    LabelCalil->installEventFilter(this);

    // The box grows where its lines need more room than it was drawn with
    // (a wider font than the one it was laid out for).
    int textWidth = 0;
    for (const QLabel* line : {ProductName, Version, Copyright, LabelUrl, LabelCalil})
        textWidth = std::max(textWidth, line->fontMetrics().horizontalAdvance(line->text()) + 2);
    const int extra = std::max(0, textWidth - ProductName->width());
    if (extra > 0) {
        setFixedSize(width() + extra, height());
        panel->resize(panel->width() + extra, panel->height());
        for (QLabel* line : {ProductName, Version, Copyright, LabelUrl, LabelCalil})
            line->resize(line->width() + extra, line->height());
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setGeometry((width() - scale(75)) / 2, scale(145), scale(75), scale(25));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

bool TFormAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == LabelUrl && event->type() == QEvent::MouseButtonRelease)
        LabelUrlClick();
    if (watched == LabelCalil && event->type() == QEvent::MouseButtonRelease)
        OpenUrlInBrowser(kCalilPage);
    return QDialog::eventFilter(watched, event);
}

void TFormAboutBox::LabelUrlClick()
{
    OpenUrlInBrowser(LabelUrl->text());
}
