#pragma once

#include "config/book_data_source.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TAppConfig;
class TLookupCache;

// "全般設定": the bookseller's key pair, the HTTP proxy, who fills the book
// columns (page "書誌情報") and Calil's key. The dialog only shows values and
// checks the port; the command that opens it copies the
// values in before and back out after OK (see config_commands.h).
//
// Neither OK nor キャンセル is a default or cancel button: Enter in an edit
// and Escape press nothing, so a half-typed key is never confirmed or thrown
// away by a stray key. Enter on a focused button presses that button.
class TFormConfigGeneral final : public QDialog
{
    Q_OBJECT

public:
    explicit TFormConfigGeneral(QWidget* parent = nullptr);

    // Fills the edits from the settings; the proxy edits are enabled by the
    // check box afterwards, so they show the stored values even when unused.
    void SetConfig(const TAppConfig& config);
    // Adds the page on remembered answers, for the cache the window uses.
    void AddCachePage(TLookupCache& cache);

    // Enables the four proxy edits if and only if the proxy is in use; their
    // texts stay as they are.
    void CheckBoxProxyUseClick();

    // Accepts the dialog when the port, line breaks aside, is a 32-bit
    // integer (any value, the proxy in use or not); otherwise warns and
    // stays open.
    void BtnOkClick();

    // The source chosen on the "書誌情報" page.
    TBookDataSource SelectedBookDataSource() const;
    // Where a reader gets a Calil application key, shown on its page.
    static QString CalilKeyHelpText()
    {
        return QStringLiteral("アプリケーションキー（無料）は https://calil.jp/api/dashboard/ で登録できます。");
    }

    // The warning shown when the port is not a number.
    static QString PortWarningText() { return QStringLiteral("ProxyのPortが不正です。"); }

    // Controls, named as on the dialog's layout.
    QTabWidget* PageControl1;
    QWidget* TabSheetAmazon;
    QWidget* TabSheetProxy;
    QLineEdit* EditAwsKeyId;
    QLineEdit* EditSecretAccessKey;
    QPlainTextEdit* Memo1;
    QCheckBox* CheckBoxProxyUse;
    QLineEdit* EditProxyServer;
    QLineEdit* EditProxyPort;
    QLineEdit* EditProxyUserName;
    QLineEdit* EditProxyPassword;
    QWidget* TabSheetBookData;
    QRadioButton* RadioBookDataAmazon;
    QRadioButton* RadioBookDataOpenBd;
    QRadioButton* RadioBookDataNone;
    // One line under each choice: what it needs and what it gives.
    QLabel* LabelBookDataAmazon;
    QLabel* LabelBookDataOpenBd;
    QLabel* LabelBookDataNone;
    QWidget* TabSheetCalil;
    QLineEdit* EditCalilAppKey;
    QLabel* LabelCalilKeyHelp;
    QPushButton* BtnHelp;
    QPushButton* BtnOk;
    QPushButton* BitBtn2;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateAmazonPage();
    void CreateProxyPage();
    void CreateBookDataPage();
    void CreateCalilPage();
    void CreateButtons();
    void SetTabOrder();
    void ShowPortWarning();
};
