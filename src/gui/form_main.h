#pragma once

#include "config/app_config.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QFileDialog;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QWidget;
class TGridBooks;
class TLookupCache;
class TGuiSearchFrontEnd;
class TSearchDriver;
class TSearchProgress;

// The main window: the ISBN memo with its commands, the results grid, the
// menus and the status bar. It owns the settings of the run, loaded when the
// window is created and saved when it closes.
class TFormMain final : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormMain(const QString& settingsFile, QWidget* parent = nullptr);
    ~TFormMain() override;

    TAppConfig& Config() { return config_; }
    TSearchDriver& SearchDriver() { return *searchDriver_; }
    // The answers remembered between searches; null when it could not be made.
    TLookupCache* LookupCache() { return lookupCache_.get(); }

    // Controls, named as on the window's layout.
    QWidget* PanelBook;
    QWidget* PanelIsbnList;
    QPlainTextEdit* MemoIsbn;
    QWidget* PanelIsbnButton;
    QPushButton* ButtonIsbnFind;
    QPushButton* ButtonIsbnSearchCancel;
    QPushButton* ButtonIsbnClear;
    QWidget* Panel2;
    QWidget* PanelGridBooks;
    TGridBooks* GridBooks;
    QWidget* Panel3;
    QPushButton* ButtonSaveToCsv;
    QPushButton* ButtonClose;
    QStatusBar* StatusBar1;
    TSearchProgress* SearchProgress;
    // Notices of the running search ("カーリルの上限のため 14:05 まで待機中").
    QLabel* SearchNotice;
    QFileDialog* SaveDialogCsv;

    // Commands.
    QAction* ActionIsbnFind;
    QAction* ActionIsbnClear;
    QAction* ActionIsbnSearchCancel;
    QAction* ActionIsbnRefresh;
    QAction* ActionFileSaveToCsv;
    QAction* ActionFileClose;
    QAction* ActionConfigGeneral;
    QAction* ActionConfigLibrary;
    QAction* ActionHelpHelp;
    QAction* ActionHelpVersion;
    QAction* ActionGridOpenUrl;
    QAction* ActionGridOpenCalil;
    QAction* ActionGridCopyCellValue;
    QAction* ActionGridSortByAmount;
    QAction* ActionGridSortByPublicationDate;
    QAction* ActionGridSortBySalesRank;
    QAction* ActionPopupIsbnUndo;
    QAction* ActionPopupIsbnCut;
    QAction* ActionPopupIsbnCopy;
    QAction* ActionPopupIsbnPaste;
    QAction* ActionPopupIsbnDelete;
    QAction* ActionPopupIsbnSelectAll;
    QAction* ActionPopupIsbnOverlapping;
    QAction* ActionPopupIsbnChangeIsbn10;

    QMenu* PopupMenuGrid;
    QMenu* PopupMenuIsbn;

    // Sets the enabled state of the memo's popup commands from the memo and
    // the clipboard; runs each time before the popup opens.
    void PopupMenuIsbnPopup();

Q_SIGNALS:
    // The library selection was confirmed with OK, changed or not: the
    // results grid rebuilds its library columns.
    void LibrarySelectionChanged();

protected:
    // Stops a running search before the window goes: workers are told to
    // stop, their transfers cut short, and waited for.
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateLayout();
    void CreateMenus();
    void PlaceOnScreen();
    void ConnectMemoCommands();
    void CreateGrid();
    void CreateSaveDialog();
    void CreateSearchDriver();
    // The search commands and the progress follow the driver's state.
    void FollowSearchState();

    void ActionIsbnFindExecute();
    void ActionIsbnSearchCancelExecute();
    void ActionIsbnRefreshExecute();
    void ActionIsbnClearExecute();
    void ActionPopupIsbnOverlappingExecute();
    void ActionPopupIsbnChangeIsbn10Execute();
    void ActionHelpVersionExecute();
    void ActionFileSaveToCsvExecute();
    void ActionGridOpenUrlExecute();
    void ActionGridOpenCalilExecute();
    void ActionGridCopyCellValueExecute();
    void ActionGridSortByAmountExecute();
    void ActionGridSortByPublicationDateExecute();
    void ActionGridSortBySalesRankExecute();

    QString settingsFile_;
    TAppConfig config_;
    // False when the file named was refused at load: it is never written.
    bool saveSettings_ = true;
    // Declared after the settings, so that the search goes before them.
    std::unique_ptr<TGuiSearchFrontEnd> searchFrontEnd_;
    // Before the driver, so that the driver's last write reaches it.
    std::unique_ptr<TLookupCache> lookupCache_;
    std::unique_ptr<TSearchDriver> searchDriver_;
};
