#include "gui/form_config_general.h"

#include "config/app_config.h"
#include "gui/application_title.h"
#include "gui/cache_page.h"
#include "gui/help_button_glyph.h"
#include "gui/help_window.h"
#include "gui/layout_scale.h"
#include "util/integer_text.h"
#include "util/text_trim.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>

#include <algorithm>

namespace {

// Where an API account is made: shown to the user, who copies it into the
// browser. Kept over three lines so the page's narrow memo needs no
// horizontal scrolling. The bookseller no longer hands out keys for that
// API, so the first lines, the ones seen without scrolling, say so and name
// the way that needs none.
const QString kMemoText = QStringLiteral(
    "Amazon の旧 Product Advertising API は新しいキーを発行していません。\n"
    "キーがないときは「書誌情報」ページで openBD と国立国会図書館サーチを選べます。\n"
    "Product Advertising API アカウントのAmazonのAccess Key IDとSecret Access \n"
    "Keyを登録しないと、Amazonの検索ができません。\n"
    "Product Advertising API アカウントの作成方法は、\n"
    "https://webservices.amazon.co.jp/\n"
    "paapi5/documentation/\n"
    "register-for-pa-api.html\n"
    "をご覧下さい。");

// Keys, host names and ports are typed in half-width characters; an input
// method would only get in the way.
QLineEdit* MakeEdit(QWidget* page, const LayoutScale& scale, int left, int top, int width)
{
    auto* edit = new QLineEdit(page);
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setGeometry(scale(left), scale(top), scale(width), std::max(scale(21), edit->sizeHint().height()));
    return edit;
}

// A label just above the edit, left-aligned with it.
void LabelAbove(QLineEdit* edit, const QString& caption, const LayoutScale& scale)
{
    auto* label = new QLabel(caption, edit->parentWidget());
    label->setBuddy(edit);
    const int height = label->sizeHint().height();
    label->setGeometry(edit->x(), std::max(0, edit->y() - scale(3) - height), edit->width(), height);
}

// A label to the left of the edit, its text ending just before the edit.
void LabelLeftOf(QLineEdit* edit, const QString& caption, const LayoutScale& scale)
{
    auto* label = new QLabel(caption, edit->parentWidget());
    label->setBuddy(edit);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int right = edit->x() - scale(3);
    label->setGeometry(scale(4), edit->y(), right - scale(4), edit->height());
}

QPushButton* MakeButton(QWidget* dialog, const LayoutScale& scale, const QString& caption,
                        const QIcon& glyph, int left, int width)
{
    auto* button = new QPushButton(glyph, caption, dialog);
    // Not the default button, not even while focused: see keyPressEvent.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setGeometry(scale(left), scale(210), scale(width), scale(25));
    return button;
}

} // namespace

TFormConfigGeneral::TFormConfigGeneral(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("全般設定"));
    // Modal to the main window only: the help it opens stays usable.
    setWindowModality(Qt::WindowModal);
    const LayoutScale scale(this);
    setFixedSize(scale(428), scale(252));

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(scale(8), scale(8), scale(412), scale(185));
    CreateAmazonPage();
    CreateProxyPage();
    CreateBookDataPage();
    CreateCalilPage();
    PageControl1->setCurrentWidget(TabSheetAmazon);
    CreateButtons();
    SetTabOrder();
    CheckBoxProxyUseClick();
}

void TFormConfigGeneral::CreateAmazonPage()
{
    const LayoutScale scale(this);
    TabSheetAmazon = new QWidget();
    PageControl1->addTab(TabSheetAmazon, QStringLiteral("Amazon"));

    EditAwsKeyId = MakeEdit(TabSheetAmazon, scale, 8, 24, 391);
    LabelAbove(EditAwsKeyId, QStringLiteral("Amazon Access Key ID"), scale);
    EditSecretAccessKey = MakeEdit(TabSheetAmazon, scale, 8, 64, 391);
    LabelAbove(EditSecretAccessKey, QStringLiteral("Amazon Secret Access Key"), scale);

    Memo1 = new QPlainTextEdit(TabSheetAmazon);
    Memo1->setGeometry(scale(12), scale(91), scale(387), scale(62));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Text on the page rather than a field to fill: the page's colour, and
    // Tab passes it by (a click still selects text to copy the address).
    Memo1->setFocusPolicy(Qt::ClickFocus);
    Memo1->setTabChangesFocus(true);
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    Memo1->setPalette(palette);
    Memo1->setPlainText(kMemoText);
}

void TFormConfigGeneral::CreateProxyPage()
{
    const LayoutScale scale(this);
    TabSheetProxy = new QWidget();
    PageControl1->addTab(TabSheetProxy, QStringLiteral("Proxy"));

    CheckBoxProxyUse = new QCheckBox(QStringLiteral("Proxyを使用する"), TabSheetProxy);
    CheckBoxProxyUse->move(scale(24), scale(12));
    CheckBoxProxyUse->resize(CheckBoxProxyUse->sizeHint());
    // Also when the box is set from the settings, so the edits always follow it.
    connect(CheckBoxProxyUse, &QCheckBox::toggled, this, &TFormConfigGeneral::CheckBoxProxyUseClick);

    EditProxyServer = MakeEdit(TabSheetProxy, scale, 80, 35, 121);
    LabelLeftOf(EditProxyServer, QStringLiteral("Server"), scale);
    EditProxyPort = MakeEdit(TabSheetProxy, scale, 80, 62, 41);
    LabelLeftOf(EditProxyPort, QStringLiteral("Port"), scale);
    EditProxyUserName = MakeEdit(TabSheetProxy, scale, 80, 89, 121);
    LabelLeftOf(EditProxyUserName, QStringLiteral("User Name "), scale);
    // Shown in clear: the user checks what was typed, and the value sits in
    // the settings file as plain text anyway.
    EditProxyPassword = MakeEdit(TabSheetProxy, scale, 80, 116, 121);
    LabelLeftOf(EditProxyPassword, QStringLiteral("Password"), scale);
}

void TFormConfigGeneral::CreateBookDataPage()
{
    const LayoutScale scale(this);
    TabSheetBookData = new QWidget();
    PageControl1->addTab(TabSheetBookData, QStringLiteral("書誌情報"));

    // A choice and, under it, what it needs and what it gives, as many lines
    // as the text takes in the font of the day; the next choice follows.
    int top = scale(6);
    const auto choice = [&](const QString& caption, const QString& note, QLabel*& label) {
        auto* radio = new QRadioButton(caption, TabSheetBookData);
        radio->setGeometry(scale(16), top, scale(380), std::max(scale(20), radio->sizeHint().height()));
        label = new QLabel(note, TabSheetBookData);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const int width = scale(364);
        label->setGeometry(scale(36), radio->geometry().bottom() + 1, width, label->heightForWidth(width));
        top = label->geometry().bottom() + scale(4);
        return radio;
    };
    RadioBookDataAmazon = choice(QStringLiteral("Amazon（Product Advertising API）"),
                                 QStringLiteral("「Amazon」ページでキーの登録が必要です。"),
                                 LabelBookDataAmazon);
    RadioBookDataOpenBd = choice(QStringLiteral("openBD と国立国会図書館サーチ"),
                                 QStringLiteral("キー不要。書名・金額・発売日が分かります（ランキングなし）。"),
                                 LabelBookDataOpenBd);
    RadioBookDataNone = choice(QStringLiteral("使わない（図書館だけを検索する）"),
                               QStringLiteral("書名・金額・発売日・ランキングの列は空のままです。"), LabelBookDataNone);
    RadioBookDataAmazon->setChecked(true);
}

TBookDataSource TFormConfigGeneral::SelectedBookDataSource() const
{
    if (RadioBookDataOpenBd->isChecked())
        return TBookDataSource::OpenBd;
    if (RadioBookDataNone->isChecked())
        return TBookDataSource::None;
    return TBookDataSource::Amazon;
}

void TFormConfigGeneral::AddCachePage(TLookupCache& cache)
{
    PageControl1->addTab(new TCachePage(cache), QStringLiteral("キャッシュ"));
}

void TFormConfigGeneral::CreateCalilPage()
{
    const LayoutScale scale(this);
    TabSheetCalil = new QWidget();
    PageControl1->addTab(TabSheetCalil, QStringLiteral("カーリル"));

    EditCalilAppKey = MakeEdit(TabSheetCalil, scale, 8, 24, 391);
    LabelAbove(EditCalilAppKey, QStringLiteral("カーリル アプリケーションキー"), scale);
    LabelCalilKeyHelp = new QLabel(CalilKeyHelpText(), TabSheetCalil);
    LabelCalilKeyHelp->setTextFormat(Qt::PlainText);
    LabelCalilKeyHelp->setWordWrap(true);
    // The address is to be copied into the browser.
    LabelCalilKeyHelp->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelCalilKeyHelp->setGeometry(scale(8), scale(56), scale(391), scale(40));
}

void TFormConfigGeneral::CreateButtons()
{
    const LayoutScale scale(this);
    QStyle* style = QApplication::style();
    BtnHelp = MakeButton(this, scale, QStringLiteral("ヘルプ(&H)"), HelpButtonGlyph(), 8, 75);
    BtnOk = MakeButton(this, scale, QStringLiteral("OK"), style->standardIcon(QStyle::SP_DialogOkButton), 186, 115);
    BitBtn2 = MakeButton(this, scale, QStringLiteral("キャンセル"), style->standardIcon(QStyle::SP_DialogCancelButton),
                         307, 98);

    const auto showHelp = [] { THelpWindow::ShowContext(THelpWindow::kContextGeneralSettings); };
    connect(BtnHelp, &QPushButton::clicked, this, showHelp);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this, showHelp);
    connect(BtnOk, &QPushButton::clicked, this, &TFormConfigGeneral::BtnOkClick);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormConfigGeneral::SetTabOrder()
{
    // Within a page only its own controls are reached: hidden ones are skipped.
    QWidget* const order[] = {PageControl1,        EditAwsKeyId,        EditSecretAccessKey,
                              CheckBoxProxyUse,    EditProxyServer,     EditProxyPort,
                              EditProxyUserName,   EditProxyPassword,   RadioBookDataAmazon,
                              RadioBookDataOpenBd, RadioBookDataNone,   EditCalilAppKey,
                              BtnHelp,             BtnOk,               BitBtn2};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TFormConfigGeneral::SetConfig(const TAppConfig& config)
{
    CheckBoxProxyUse->setChecked(config.GetProxyUse());
    EditProxyServer->setText(config.GetProxyServer());
    EditProxyPort->setText(QString::number(config.GetProxyPort()));
    EditProxyUserName->setText(config.GetProxyUserName());
    EditProxyPassword->setText(config.GetProxyPassword());
    CheckBoxProxyUseClick();
    EditAwsKeyId->setText(config.GetAwsKeyID());
    EditSecretAccessKey->setText(config.GetSecretAccessKey());
    EditCalilAppKey->setText(config.GetCalilAppKey());
    switch (config.GetBookDataSource()) {
    case TBookDataSource::Amazon: RadioBookDataAmazon->setChecked(true); break;
    case TBookDataSource::OpenBd: RadioBookDataOpenBd->setChecked(true); break;
    case TBookDataSource::None: RadioBookDataNone->setChecked(true); break;
    }
}

void TFormConfigGeneral::CheckBoxProxyUseClick()
{
    const bool use = CheckBoxProxyUse->isChecked();
    for (QLineEdit* edit : {EditProxyServer, EditProxyPort, EditProxyUserName, EditProxyPassword})
        edit->setEnabled(use);
}

void TFormConfigGeneral::BtnOkClick()
{
    // Judged as it will be stored: a pasted line break is no fault of the port.
    if (ParseInt32(WithoutLineBreaks(EditProxyPort->text()))) {
        accept();
        return;
    }
    // Show the field that is wrong. With the proxy unused the port edit is
    // disabled; the check box that unlocks it takes the focus instead.
    PageControl1->setCurrentWidget(TabSheetProxy);
    ShowPortWarning();
    if (EditProxyPort->isEnabled()) {
        EditProxyPort->setFocus(Qt::OtherFocusReason);
        EditProxyPort->selectAll();
    } else {
        CheckBoxProxyUse->setFocus(Qt::OtherFocusReason);
    }
}

void TFormConfigGeneral::ShowPortWarning()
{
    QMessageBox box(QMessageBox::Warning, ApplicationTitle(), PortWarningText(), QMessageBox::Ok, this);
    box.exec();
}

void TFormConfigGeneral::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // Not a way out of this dialog: キャンセル or the close box are.
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A focused button takes Enter as a click, as on any desktop; from
        // anywhere else Enter presses nothing.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button != nullptr && button->isEnabled())
            button->click();
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
