#include "gui/form_main.h"

#include "cache/cache_file.h"
#include "cache/lookup_cache.h"
#include "gui/action_button.h"
#include "gui/application_title.h"
#include "gui/config_commands.h"
#include "gui/cursor_hour_glass.h"
#include "gui/form_about_box.h"
#include "gui/grid_books.h"
#include "gui/guarded_command.h"
#include "gui/gui_search_front_end.h"
#include "gui/help_window.h"
#include "gui/layout_scale.h"
#include "gui/memo_isbn.h"
#include "gui/memo_lines.h"
#include "gui/quillmoor_application.h"
#include "gui/refused_settings_message.h"
#include "gui/search_progress.h"
#include "config/settings_file_refused.h"
#include "search/search_driver.h"
#include "search/search_list.h"
#include "util/error.h"
#include "util/text_trim.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// A command with the caption, menu category, hint and glyph it shows in
// menus and on buttons. A hint is the tooltip and the status-bar text.
QAction* MakeAction(QObject* owner, const QString& caption, const QString& category,
                    const QString& hint = QString(), const QIcon& glyph = QIcon())
{
    auto* action = new QAction(glyph, caption, owner);
    action->setProperty("category", category);
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    return action;
}

QWidget* MakePanel(QWidget* parent, int margin)
{
    auto* panel = new QWidget(parent);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(2);
    return panel;
}

} // namespace

TFormMain::TFormMain(const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent), settingsFile_(settingsFile)
{
    setWindowTitle(ApplicationTitle());
    CreateActions();
    CreateLayout();
    CreateMenus();
    PlaceOnScreen();
    ConnectMemoCommands();
    CreateSaveDialog();
    try {
        config_.Load(settingsFile_);
    } catch (const SettingsFileRefused& refused) {
        // Whatever that file is, it is the user's and stays as it is.
        saveSettings_ = false;
        TQuillmoorApplication::ShowException(RefusedSettingsMessage(refused));
    }
    CreateGrid();
    CreateSearchDriver();
}

TFormMain::~TFormMain()
{
    // No worker may outlive the window, and the settings are saved only
    // when none can read them any more.
    searchDriver_->Shutdown();
    if (!saveSettings_)
        return;
    try {
        config_.Save(settingsFile_);
    } catch (const QuillmoorError& error) {
        // The window closes all the same; the user learns that this run's
        // settings were not kept.
        TQuillmoorApplication::ShowError(error);
    }
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    searchDriver_->Shutdown();
    QMainWindow::closeEvent(event);
}

void TFormMain::CreateActions()
{
    QStyle* style = QApplication::style();
    // Glyphs: 0 saving as CSV, 1 starting, 2 cancelling.
    const QIcon saveGlyph = style->standardIcon(QStyle::SP_DialogSaveButton);
    const QIcon findGlyph = style->standardIcon(QStyle::SP_MediaPlay);
    const QIcon cancelGlyph = style->standardIcon(QStyle::SP_BrowserStop);
    const QString none;
    const QString file = QStringLiteral("ファイル");
    const QString settings = QStringLiteral("設定");
    const QString help = QStringLiteral("ヘルプ");
    const QString results = QStringLiteral("検索結果");
    const QString popup = QStringLiteral("ISBNポップアップ");

    ActionIsbnFind = MakeAction(this, QStringLiteral("検索開始"), none, QStringLiteral("検索を開始する"), findGlyph);
    ActionIsbnClear = MakeAction(this, QStringLiteral("クリア"), none, QStringLiteral("ISBN欄をクリアする"));
    ActionIsbnSearchCancel =
        MakeAction(this, QStringLiteral("検索中止"), none, QStringLiteral("検索を中止する"), cancelGlyph);
    ActionIsbnRefresh = MakeAction(this, QStringLiteral("最新の情報を取得"), none,
                                   QStringLiteral("覚えておいた結果を使わず、すべて問い合わせ直して検索する"));
    ActionIsbnRefresh->setShortcut(QKeySequence(Qt::Key_F5));
    ActionIsbnRefresh->setShortcutContext(Qt::WindowShortcut);
    ActionFileSaveToCsv = MakeAction(this, QStringLiteral("CSVファイルに保存"), file,
                                     QStringLiteral("検索結果をCSVファイルに保存する"), saveGlyph);
    ActionFileClose = MakeAction(this, QStringLiteral("閉じる(&X)"), file);
    ActionConfigGeneral = MakeAction(this, QStringLiteral("全般設定(&C)"), settings);
    ActionConfigLibrary = MakeAction(this, QStringLiteral("図書館選択(&L)"), settings);
    ActionHelpHelp = MakeAction(this, QStringLiteral("ヘルプ目次"), help);
    ActionHelpHelp->setShortcut(QKeySequence(Qt::Key_F1));
    ActionHelpHelp->setShortcutContext(Qt::WindowShortcut);
    ActionHelpVersion = MakeAction(this, QStringLiteral("バージョン情報(&A)"), help);
    ActionGridOpenUrl = MakeAction(this, QStringLiteral("URLをブラウザで開く(&U)"), results,
                                   QStringLiteral("選択されているセルのURLをブラウザで開く"));
    ActionGridOpenCalil = MakeAction(this, QStringLiteral("カーリルで見る"), results,
                                     QStringLiteral("この本の図書館での所蔵をカーリルのページで見る"));
    ActionGridCopyCellValue = MakeAction(this, QStringLiteral("コピー(&C)"), results,
                                         QStringLiteral("セルの値をクリップボードにコピーする"));
    ActionGridSortByAmount = MakeAction(this, QStringLiteral("金額でソートする"), results);
    ActionGridSortByPublicationDate = MakeAction(this, QStringLiteral("発売日でソートする"), results);
    ActionGridSortBySalesRank = MakeAction(this, QStringLiteral("Amazonのランキングでソートする"), results);
    ActionPopupIsbnUndo = MakeAction(this, QStringLiteral("元に戻す(&U)"), popup);
    ActionPopupIsbnCut = MakeAction(this, QStringLiteral("切り取り(&I)"), popup);
    ActionPopupIsbnCopy = MakeAction(this, QStringLiteral("コピー(&C)"), popup);
    ActionPopupIsbnPaste = MakeAction(this, QStringLiteral("貼り付け(&P)"), popup);
    ActionPopupIsbnDelete = MakeAction(this, QStringLiteral("削除(&D)"), popup);
    ActionPopupIsbnSelectAll = MakeAction(this, QStringLiteral("すべて選択(&A)"), popup);
    ActionPopupIsbnOverlapping = MakeAction(this, QStringLiteral("重複削除(&X)"), popup);
    ActionPopupIsbnChangeIsbn10 = MakeAction(this, QStringLiteral("ISBN10に変換する"), popup);

    // F1 works wherever the focus is in the window.
    addAction(ActionHelpHelp);
    connect(ActionFileClose, &QAction::triggered, this, &QWidget::close);
    connect(ActionHelpHelp, &QAction::triggered, this, GuardedCommand([] { THelpWindow::ShowContents(); }));
    connect(ActionHelpVersion, &QAction::triggered, this,
            GuardedCommand([this] { ActionHelpVersionExecute(); }));
    connect(ActionIsbnFind, &QAction::triggered, this, GuardedCommand([this] { ActionIsbnFindExecute(); }));
    connect(ActionIsbnSearchCancel, &QAction::triggered, this,
            GuardedCommand([this] { ActionIsbnSearchCancelExecute(); }));
    addAction(ActionIsbnRefresh);
    connect(ActionIsbnRefresh, &QAction::triggered, this, GuardedCommand([this] { ActionIsbnRefreshExecute(); }));
    connect(ActionIsbnClear, &QAction::triggered, this, GuardedCommand([this] { ActionIsbnClearExecute(); }));
    connect(ActionConfigGeneral, &QAction::triggered, this,
            GuardedCommand([this] {
                ActionConfigGeneralExecute(this, config_);
                // Before a search, the title's header follows the chosen source.
                GridBooks->UpdateColumns();
            }));
    connect(ActionConfigLibrary, &QAction::triggered, this, GuardedCommand([this] {
                if (ActionConfigLibraryExecute(this, config_))
                    Q_EMIT LibrarySelectionChanged();
            }));
    connect(ActionFileSaveToCsv, &QAction::triggered, this,
            GuardedCommand([this] { ActionFileSaveToCsvExecute(); }));
    connect(ActionGridOpenUrl, &QAction::triggered, this, GuardedCommand([this] { ActionGridOpenUrlExecute(); }));
    connect(ActionGridOpenCalil, &QAction::triggered, this, GuardedCommand([this] { ActionGridOpenCalilExecute(); }));
    connect(ActionGridCopyCellValue, &QAction::triggered, this,
            GuardedCommand([this] { ActionGridCopyCellValueExecute(); }));
    connect(ActionGridSortByAmount, &QAction::triggered, this,
            GuardedCommand([this] { ActionGridSortByAmountExecute(); }));
    connect(ActionGridSortByPublicationDate, &QAction::triggered, this,
            GuardedCommand([this] { ActionGridSortByPublicationDateExecute(); }));
    connect(ActionGridSortBySalesRank, &QAction::triggered, this,
            GuardedCommand([this] { ActionGridSortBySalesRankExecute(); }));
}

void TFormMain::CreateLayout()
{
    const LayoutScale scale(this);
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);

    // The ISBN area: the memo on the left, the search buttons on the right.
    PanelBook = new QWidget(central);
    PanelBook->setFixedHeight(scale(145));
    auto* bookRow = new QHBoxLayout(PanelBook);
    bookRow->setContentsMargins(0, 0, 0, 0);
    bookRow->setSpacing(0);
    PanelIsbnList = MakePanel(PanelBook, scale(4));
    PanelIsbnList->layout()->addWidget(new QLabel(QStringLiteral("検索する本のISBN"), PanelIsbnList));
    MemoIsbn = new TMemoIsbn(PanelIsbnList);
    MemoIsbn->setObjectName(QStringLiteral("MemoIsbn"));
    MemoIsbn->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoIsbn->setLineWrapMode(QPlainTextEdit::NoWrap);
    // ISBNs are typed in half-width characters: no input method.
    MemoIsbn->setAttribute(Qt::WA_InputMethodEnabled, false);
    PanelIsbnList->layout()->addWidget(MemoIsbn);
    bookRow->addWidget(PanelIsbnList, 1);

    PanelIsbnButton = new QWidget(PanelBook);
    PanelIsbnButton->setFixedWidth(scale(92));
    const auto button = [&](QAction* action, int top) {
        auto* b = new QPushButton(PanelIsbnButton);
        b->setGeometry(scale(4), scale(top), scale(82), scale(22));
        BindButtonToAction(b, action);
        return b;
    };
    ButtonIsbnFind = button(ActionIsbnFind, 25);
    ButtonIsbnSearchCancel = button(ActionIsbnSearchCancel, 53);
    ButtonIsbnClear = button(ActionIsbnClear, 101);
    bookRow->addWidget(PanelIsbnButton);
    column->addWidget(PanelBook);

    // The results area; the grid goes into PanelGridBooks.
    Panel2 = MakePanel(central, scale(4));
    Panel2->layout()->addWidget(new QLabel(QStringLiteral("検索結果"), Panel2));
    PanelGridBooks = new QWidget(Panel2);
    auto* gridLayout = new QVBoxLayout(PanelGridBooks);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    Panel2->layout()->addWidget(PanelGridBooks);
    static_cast<QVBoxLayout*>(Panel2->layout())->setStretchFactor(PanelGridBooks, 1);
    column->addWidget(Panel2, 1);

    // The bottom row: save and close, kept at the right edge.
    Panel3 = new QWidget(central);
    Panel3->setFixedHeight(scale(41));
    auto* bottomRow = new QHBoxLayout(Panel3);
    bottomRow->setContentsMargins(scale(8), scale(10), scale(8), scale(6));
    bottomRow->setSpacing(scale(8));
    bottomRow->addStretch(1);
    ButtonSaveToCsv = new QPushButton(Panel3);
    ButtonSaveToCsv->setFixedSize(scale(135), scale(25));
    BindButtonToAction(ButtonSaveToCsv, ActionFileSaveToCsv);
    ButtonClose = new QPushButton(QStringLiteral("閉じる(&C)"), Panel3);
    ButtonClose->setFixedSize(scale(95), scale(25));
    connect(ButtonClose, &QPushButton::clicked, this, &QWidget::close);
    bottomRow->addWidget(ButtonSaveToCsv);
    bottomRow->addWidget(ButtonClose);
    column->addWidget(Panel3);

    StatusBar1 = statusBar();
    StatusBar1->setFixedHeight(scale(19) + StatusBar1->fontMetrics().descent());
    StatusBar1->setSizeGripEnabled(true);
    // On the right, beside the hints, never in their place.
    SearchNotice = new QLabel(StatusBar1);
    SearchNotice->setTextFormat(Qt::PlainText);
    SearchNotice->hide();
    StatusBar1->addPermanentWidget(SearchNotice);
    SearchProgress = new TSearchProgress(StatusBar1);
    StatusBar1->addPermanentWidget(SearchProgress);

}

void TFormMain::PlaceOnScreen()
{
    // The client area keeps its size below the menu bar, which has its
    // height only once the menus are in it.
    const LayoutScale scale(this);
    resize(scale(595), scale(617) + menuBar()->sizeHint().height());
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFormMain::CreateMenus()
{
    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    fileMenu->addAction(ActionFileSaveToCsv);
    fileMenu->addSeparator();
    fileMenu->addAction(ActionFileClose);
    // The search commands, and the one that asks everything again.
    QMenu* searchMenu = menuBar()->addMenu(QStringLiteral("検索(&S)"));
    searchMenu->addAction(ActionIsbnFind);
    searchMenu->addAction(ActionIsbnSearchCancel);
    searchMenu->addSeparator();
    searchMenu->addAction(ActionIsbnRefresh);
    QMenu* settingsMenu = menuBar()->addMenu(QStringLiteral("設定(&C)"));
    settingsMenu->addAction(ActionConfigGeneral);
    settingsMenu->addAction(ActionConfigLibrary);
    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    helpMenu->addAction(ActionHelpHelp);
    helpMenu->addAction(ActionHelpVersion);

    PopupMenuGrid = new QMenu(this);
    PopupMenuGrid->addAction(ActionGridOpenUrl);
    PopupMenuGrid->addAction(ActionGridCopyCellValue);
    PopupMenuGrid->addSeparator();
    PopupMenuGrid->addAction(ActionGridSortByAmount);
    PopupMenuGrid->addAction(ActionGridSortByPublicationDate);
    PopupMenuGrid->addAction(ActionGridSortBySalesRank);

    PopupMenuIsbn = new QMenu(this);
    PopupMenuIsbn->addAction(ActionPopupIsbnUndo);
    PopupMenuIsbn->addSeparator();
    PopupMenuIsbn->addAction(ActionPopupIsbnCut);
    PopupMenuIsbn->addAction(ActionPopupIsbnCopy);
    PopupMenuIsbn->addAction(ActionPopupIsbnPaste);
    PopupMenuIsbn->addAction(ActionPopupIsbnDelete);
    PopupMenuIsbn->addSeparator();
    PopupMenuIsbn->addAction(ActionPopupIsbnSelectAll);
    PopupMenuIsbn->addSeparator();
    PopupMenuIsbn->addAction(ActionPopupIsbnOverlapping);
    PopupMenuIsbn->addAction(ActionPopupIsbnChangeIsbn10);
}

void TFormMain::ConnectMemoCommands()
{
    MemoIsbn->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(MemoIsbn, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenuIsbnPopup();
        PopupMenuIsbn->popup(MemoIsbn->viewport()->mapToGlobal(at));
    });
    connect(ActionPopupIsbnUndo, &QAction::triggered, MemoIsbn, &QPlainTextEdit::undo);
    connect(ActionPopupIsbnCut, &QAction::triggered, MemoIsbn, &QPlainTextEdit::cut);
    connect(ActionPopupIsbnCopy, &QAction::triggered, MemoIsbn, &QPlainTextEdit::copy);
    connect(ActionPopupIsbnPaste, &QAction::triggered, MemoIsbn, &QPlainTextEdit::paste);
    connect(ActionPopupIsbnDelete, &QAction::triggered, this,
            [this] { MemoIsbn->textCursor().removeSelectedText(); });
    connect(ActionPopupIsbnSelectAll, &QAction::triggered, MemoIsbn, &QPlainTextEdit::selectAll);
    connect(ActionPopupIsbnOverlapping, &QAction::triggered, this,
            GuardedCommand([this] { ActionPopupIsbnOverlappingExecute(); }));
    connect(ActionPopupIsbnChangeIsbn10, &QAction::triggered, this,
            GuardedCommand([this] { ActionPopupIsbnChangeIsbn10Execute(); }));
}

void TFormMain::CreateSaveDialog()
{
    SaveDialogCsv = new QFileDialog(this);
    SaveDialogCsv->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialogCsv->setFileMode(QFileDialog::AnyFile);
    SaveDialogCsv->setNameFilters({QStringLiteral("CSVファイル (*.csv)"), QStringLiteral("すべてのファイル (*)")});
    // Added to a name typed without one; an existing file is replaced only
    // after the user has confirmed it (the dialog's default).
    SaveDialogCsv->setDefaultSuffix(QStringLiteral("csv"));
}

void TFormMain::CreateGrid()
{
    GridBooks = new TGridBooks(PanelGridBooks);
    PanelGridBooks->layout()->addWidget(GridBooks);
    GridBooks->SetConfig(config_);
    GridBooks->UpdateColumns();
    GridBooks->SetPopupMenu(PopupMenuGrid);
    // In the menu while a library is asked through Calil, wherever Calil's
    // holdings are shown; usable on their cells.
    connect(PopupMenuGrid, &QMenu::aboutToShow, this, [this] {
        bool calilShown = false;
        for (int column = 0; column < GridBooks->ColCount(); ++column)
            calilShown = calilShown || GridBooks->Table().HasLendingStatus(column);
        if (calilShown && !PopupMenuGrid->actions().contains(ActionGridOpenCalil))
            PopupMenuGrid->insertAction(ActionGridCopyCellValue, ActionGridOpenCalil);
        else if (!calilShown)
            PopupMenuGrid->removeAction(ActionGridOpenCalil);
        ActionGridOpenCalil->setEnabled(!GridBooks->CalilPageOf(GridBooks->Col(), GridBooks->Row()).isEmpty());
    });
    connect(this, &TFormMain::LibrarySelectionChanged, GridBooks, &TGridBooks::UpdateColumns);
}

void TFormMain::CreateSearchDriver()
{
    searchFrontEnd_ = std::make_unique<TGuiSearchFrontEnd>(this);
    searchFrontEnd_->SetNoticeDisplay([this](const QString& text) {
        SearchNotice->setText(text);
        SearchNotice->setVisible(!text.isEmpty());
    });
    searchFrontEnd_->SetCacheProblemDisplay([this](const QString& text) { StatusBar1->showMessage(text); });
    lookupCache_ = std::make_unique<TLookupCache>(DefaultLookupCachePath());
    searchDriver_ = std::make_unique<TSearchDriver>(config_, GridBooks->Table(), *searchFrontEnd_);
    searchDriver_->SetLookupCache(lookupCache_.get());
    connect(searchDriver_.get(), &TSearchDriver::CommandStateChanged, this, &TFormMain::FollowSearchState);
    connect(searchDriver_.get(), &TSearchDriver::SearchFinished, this, &TFormMain::FollowSearchState);
    connect(searchDriver_.get(), &TSearchDriver::ProgressChanged, this, [this](int delivered, int expected) {
        SearchProgress->SetProgress(delivered, expected);
        FollowSearchState();
    });
    FollowSearchState();
}

void TFormMain::FollowSearchState()
{
    const TSearchDriver& driver = *searchDriver_;
    ActionIsbnFind->setEnabled(driver.IsFindEnabled());
    ActionIsbnRefresh->setEnabled(driver.IsFindEnabled());
    ActionIsbnClear->setEnabled(driver.IsClearEnabled());
    ActionIsbnSearchCancel->setEnabled(driver.IsCancelEnabled());
    // Workers of a cancelled search may still be winding down; to the user
    // that search is over.
    SearchProgress->SetSearching(driver.IsSearching() && driver.IsCancelEnabled());
}

void TFormMain::ActionIsbnFindExecute() { searchDriver_->ActionIsbnFindExecute(MemoLines(*MemoIsbn)); }

void TFormMain::ActionIsbnSearchCancelExecute() { searchDriver_->ActionIsbnSearchCancelExecute(); }

void TFormMain::ActionIsbnRefreshExecute()
{
    searchDriver_->ActionIsbnFindExecute(MemoLines(*MemoIsbn), TCacheSession::TReading::Nothing);
}

void TFormMain::PopupMenuIsbnPopup()
{
    const bool hasSelection = MemoIsbn->textCursor().hasSelection();
    const QMimeData* clipboard = QApplication::clipboard()->mimeData();
    const bool hasText = !MemoIsbn->document()->isEmpty();
    ActionPopupIsbnUndo->setEnabled(MemoIsbn->document()->isUndoAvailable());
    ActionPopupIsbnCut->setEnabled(hasSelection);
    ActionPopupIsbnCopy->setEnabled(hasSelection);
    ActionPopupIsbnDelete->setEnabled(hasSelection);
    ActionPopupIsbnPaste->setEnabled(clipboard != nullptr && clipboard->hasText());
    ActionPopupIsbnSelectAll->setEnabled(hasText);
    ActionPopupIsbnOverlapping->setEnabled(hasText);
}

void TFormMain::ActionIsbnClearExecute() { MemoIsbn->clear(); }

void TFormMain::ActionPopupIsbnOverlappingExecute()
{
    SetMemoLines(*MemoIsbn, RemoveRepeatedLines(MemoLines(*MemoIsbn)));
}

void TFormMain::ActionPopupIsbnChangeIsbn10Execute()
{
    const TCursorHourGlass hourGlass;
    QStringList lines = MemoLines(*MemoIsbn);
    // Every line is converted before the memo changes, so a line that cannot
    // be converted leaves the memo as it was.
    for (qsizetype i = 0; i < lines.size(); ++i)
        lines[i] = SearchKeyOfLine(lines[i], i + 1);
    SetMemoLines(*MemoIsbn, lines);
}

void TFormMain::ActionHelpVersionExecute()
{
    TFormAboutBox box(this);
    box.exec();
}

void TFormMain::ActionFileSaveToCsvExecute()
{
    if (SaveDialogCsv->exec() != QDialog::Accepted)
        return;
    const QStringList files = SaveDialogCsv->selectedFiles();
    if (!files.isEmpty())
        GridBooks->SaveToCsv(files.front());
}

void TFormMain::ActionGridOpenUrlExecute() { GridBooks->OpenUrl(GridBooks->Row(), GridBooks->Col()); }

void TFormMain::ActionGridOpenCalilExecute() { GridBooks->OpenCalilPage(GridBooks->Row(), GridBooks->Col()); }

void TFormMain::ActionGridCopyCellValueExecute()
{
    // Bookseller values carry a trailing space that is not the user's.
    QApplication::clipboard()->setText(TrimBlanks(GridBooks->GetCellText(GridBooks->Col(), GridBooks->Row())));
    StatusBar1->showMessage(QStringLiteral("コピーしました。"));
}

void TFormMain::ActionGridSortByAmountExecute()
{
    const TCursorHourGlass hourGlass;
    GridBooks->SortByAmount();
}

void TFormMain::ActionGridSortByPublicationDateExecute()
{
    const TCursorHourGlass hourGlass;
    GridBooks->SortByPublicationDate();
}

void TFormMain::ActionGridSortBySalesRankExecute()
{
    const TCursorHourGlass hourGlass;
    GridBooks->SortBySalesRank();
}
