#include "gui/form_select_lib.h"

#include "calil/calil_library_fetch.h"
#include "calil/calil_library_offer.h"
#include "config/app_config.h"
#include "config/cache_location.h"
#include "gui/guarded_selection_model.h"
#include "gui/help_button_glyph.h"
#include "gui/help_window.h"
#include "gui/layout_scale.h"
#include "libraries/library_list.h"
#include "libraries/prefectures.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

// Every item of a list, in order.
QList<QListWidgetItem*> Items(const QListWidget& box)
{
    QList<QListWidgetItem*> items;
    for (int i = 0; i < box.count(); ++i)
        items.append(box.item(i));
    return items;
}

} // namespace

TFormSelectLib::TFormSelectLib(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("図書館選択"));
    // Modal to the main window only: the help it opens stays usable.
    setWindowModality(Qt::WindowModal);
    CreateLayout();
    CreateButtons();
    const LayoutScale scale(this);
    resize(scale(426), scale(293));
}

void TFormSelectLib::CreateLayout()
{
    const LayoutScale scale(this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Panel1 = new QWidget(this);
    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(scale(4), scale(4), scale(4), 0);
    row->setSpacing(scale(4));
    column->addWidget(Panel1, 1);

    GroupBox1 = new QGroupBox(QStringLiteral("都道府県選択"), Panel1);
    GroupBox1->setFixedWidth(scale(209));
    auto* treeLayout = new QVBoxLayout(GroupBox1);
    TreeViewPref = new QTreeWidget(GroupBox1);
    TreeViewPref->setHeaderHidden(true);
    TreeViewPref->setColumnCount(1);
    TreeViewPref->setIndentation(scale(19));
    TreeViewPref->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeViewPref->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeViewPref->setSelectionBehavior(QAbstractItemView::SelectRows);
    TreeViewPref->setAllColumnsShowFocus(true);
    QItemSelectionModel* const defaultSelection = TreeViewPref->selectionModel();
    auto* selection = new TGuardedSelectionModel(
        TreeViewPref->model(),
        [this](const QModelIndex& index) { return TreeViewPrefChanging(TreeViewPref->itemFromIndex(index)); },
        TreeViewPref);
    TreeViewPref->setSelectionModel(selection);
    delete defaultSelection;
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            [this] { TreeViewPrefChange(TreeViewPref->selectedItems().value(0)); });
    treeLayout->addWidget(TreeViewPref);
    row->addWidget(GroupBox1);

    GroupBoxLibrary = new QGroupBox(QStringLiteral("図書館選択"), Panel1);
    new QVBoxLayout(GroupBoxLibrary);
    row->addWidget(GroupBoxLibrary, 1);

    PanelButton = new QWidget(this);
    PanelButton->setFixedHeight(scale(42));
    column->addWidget(PanelButton);

    // Only a resizing grip: nothing is ever shown in it.
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setFixedHeight(scale(19));
    StatusBar1->setSizeGripEnabled(true);
    column->addWidget(StatusBar1);
}

void TFormSelectLib::CreateButtons()
{
    const LayoutScale scale(this);
    QStyle* style = QApplication::style();
    BitBtn1 = new QPushButton(HelpButtonGlyph(), QStringLiteral("ヘルプ(&H)"), PanelButton);
    BtnOk = new QPushButton(style->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), PanelButton);
    BtnCancel = new QPushButton(style->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("キャンセル"), PanelButton);
    BitBtn1->setFixedSize(scale(75), scale(25));
    BtnOk->setFixedSize(scale(75), scale(25));
    BtnCancel->setFixedSize(scale(83), scale(25));
    ButtonRefreshCalil = new QPushButton(style->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("一覧を更新"), PanelButton);
    ButtonRefreshCalil->setFixedHeight(scale(25));
    ButtonRefreshCalil->setAutoDefault(false);
    ButtonRefreshCalil->setToolTip(QStringLiteral("この都道府県の図書館一覧をカーリルから取得し直す"));
    ButtonRefreshCalil->setVisible(false);
    // Enter presses OK, Escape closes as キャンセル does (QDialog's own).
    BitBtn1->setAutoDefault(false);
    BtnOk->setDefault(true);

    auto* row = new QHBoxLayout(PanelButton);
    row->setContentsMargins(scale(10), scale(11), scale(15), 0);
    row->setSpacing(0);
    row->addWidget(BitBtn1, 0, Qt::AlignTop);
    row->addSpacing(scale(6));
    row->addWidget(ButtonRefreshCalil, 0, Qt::AlignTop);
    row->addStretch(1);
    row->addWidget(BtnOk, 0, Qt::AlignTop);
    row->addSpacing(scale(6));
    row->addWidget(BtnCancel, 0, Qt::AlignTop);

    const auto showHelp = [] { THelpWindow::ShowContext(THelpWindow::kContextLibrarySelection); };
    connect(BitBtn1, &QPushButton::clicked, this, showHelp);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this, showHelp);
    connect(BtnOk, &QPushButton::clicked, this, &TFormSelectLib::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ButtonRefreshCalil, &QPushButton::clicked, this, &TFormSelectLib::ButtonRefreshCalilClick);
}

void TFormSelectLib::SetConfig(TAppConfig* config) { config_ = config; }

void TFormSelectLib::showEvent(QShowEvent* event)
{
    // A window coming back from being minimised keeps the user's checks.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFormSelectLib::FormShow()
{
    TreeViewPref->clear();
    qDeleteAll(prefListBoxes_);
    prefListBoxes_.clear();
    regionPrefs_.clear();
    calilMerged_.clear();
    delete loader_; // a fetch of an earlier showing goes unheard
    loader_ = nullptr;
    StatusBar1->clearMessage();

    const TLibraryList* libraries = config_ != nullptr ? config_->GetLibraryList() : nullptr;
    const QStringList selected = config_ != nullptr ? config_->GetLibraryNames() : QStringList();
    calilEnabled_ = config_ != nullptr && !config_->GetCalilAppKey().isEmpty();
    if (calilEnabled_) {
        const TEndpoints& endpoints = config_->GetEndpoints();
        loader_ = new TCalilLibraryLoader(
            {endpoints.CalilBaseUrl(), config_->GetCalilAppKey(), DefaultCacheFolder(), config_->GetProxySettings()}, this);
        connect(loader_, &TCalilLibraryLoader::Loaded, this, &TFormSelectLib::MergeCalilList);
        connect(loader_, &TCalilLibraryLoader::Failed, this, &TFormSelectLib::CalilListFailed);
    }

    // A prefecture is offered when it has a library to choose: with Calil
    // every one does; otherwise those of the libraries the program knows.
    QMap<QString, QStringList> namesOf;
    for (const TPrefecture& prefecture : AllPrefectures()) {
        const QStringList names = libraries != nullptr ? libraries->NamesInPrefecture(prefecture.name) : QStringList();
        if (names.isEmpty() && !calilEnabled_)
            continue;
        regionPrefs_[prefecture.region].append(prefecture.name);
        namesOf.insert(prefecture.name, names);
    }
    for (auto region = regionPrefs_.cbegin(); region != regionPrefs_.cend(); ++region) {
        auto* regionNode = new QTreeWidgetItem(TreeViewPref, {region.key()});
        for (const QString& prefecture : region.value()) {
            new QTreeWidgetItem(regionNode, {prefecture});
            prefListBoxes_.insert(prefecture, CreateCheckList(namesOf.value(prefecture), selected));
        }
    }
    TreeViewPref->expandAll();
    SelectFirstPrefecture(selected);
    FollowCalilState();
}

void TFormSelectLib::SelectFirstPrefecture(const QStringList& selected)
{
    // With Calil's 47 prefectures, the one of the first chosen library is
    // where the reader is likely to go on.
    if (calilEnabled_ && !selected.isEmpty()) {
        const TLibraryRecord* first = config_->GetLibraryList()->FindRecord(selected.first());
        const QList<QTreeWidgetItem*> nodes =
            first != nullptr ? TreeViewPref->findItems(first->Prefecture, Qt::MatchExactly | Qt::MatchRecursive)
                             : QList<QTreeWidgetItem*>();
        if (!nodes.isEmpty()) {
            TreeViewPref->setCurrentItem(nodes.first());
            return;
        }
    }
    // The first prefecture of the first region.
    QTreeWidgetItemIterator node(TreeViewPref);
    if (*node != nullptr && *++node != nullptr)
        TreeViewPref->setCurrentItem(*node);
}

QListWidget* TFormSelectLib::CreateCheckList(const QStringList& libraries, const QStringList& selected)
{
    auto* box = new QListWidget(GroupBoxLibrary);
    box->setVisible(false);
    GroupBoxLibrary->layout()->addWidget(box);
    for (const QString& name : libraries) {
        // Names from Calil are plain text; a list item never reads markup.
        auto* item = new QListWidgetItem(name, box);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(selected.contains(name) ? Qt::Checked : Qt::Unchecked);
    }
    return box;
}

bool TFormSelectLib::TreeViewPrefChanging(const QTreeWidgetItem* node) const
{
    return node != nullptr && node->childCount() == 0;
}

void TFormSelectLib::TreeViewPrefChange(const QTreeWidgetItem* node)
{
    for (QListWidget* box : std::as_const(prefListBoxes_))
        box->setVisible(false);
    if (node != nullptr) {
        if (QListWidget* box = prefListBoxes_.value(node->text(0))) {
            box->setVisible(true);
            EnsureCalilList(node->text(0));
        }
    }
    FollowCalilState();
}

QString TFormSelectLib::ShownPrefecture() const
{
    for (auto box = prefListBoxes_.cbegin(); box != prefListBoxes_.cend(); ++box) {
        if (!box.value()->isHidden())
            return box.key();
    }
    return QString();
}

void TFormSelectLib::EnsureCalilList(const QString& prefecture)
{
    if (!calilEnabled_ || calilMerged_.contains(prefecture) || loader_->IsLoading(prefecture))
        return;
    const std::optional<std::vector<TCalilSystem>> cached = TCalilLibraryCache(DefaultCacheFolder()).Read(prefecture);
    if (cached)
        MergeCalilList(prefecture, *cached);
    else
        FetchCalilList(prefecture);
}

void TFormSelectLib::FetchCalilList(const QString& prefecture)
{
    StatusBar1->showMessage(QStringLiteral("カーリルから%1の図書館一覧を取得しています…").arg(prefecture));
    loader_->Load(prefecture);
    FollowCalilState();
}

void TFormSelectLib::ButtonRefreshCalilClick()
{
    const QString prefecture = ShownPrefecture();
    if (calilEnabled_ && !prefecture.isEmpty() && !loader_->IsLoading(prefecture))
        FetchCalilList(prefecture);
}

void TFormSelectLib::MergeCalilList(const QString& prefecture, const std::vector<TCalilSystem>& systems)
{
    QListWidget* box = prefListBoxes_.value(prefecture);
    if (box == nullptr || config_ == nullptr)
        return;
    calilMerged_.insert(prefecture);
    if (StatusBar1->currentMessage().contains(prefecture))
        StatusBar1->clearMessage();
    TLibraryList& libraries = *config_->GetLibraryList();
    ConfirmBuiltInSystemIds(libraries, systems);

    // The list again in name order, checks kept: what the program knows,
    // then each system of Calil's list that is not one of them.
    QMap<QString, QListWidgetItem*> byName;
    while (box->count() > 0) {
        QListWidgetItem* item = box->takeItem(0);
        byName.insert(item->text(), item);
    }
    for (const TCalilSystem& system : OfferableCalilSystems(libraries, systems)) {
        if (byName.contains(system.name))
            continue;
        auto* item = new QListWidgetItem(system.name);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(SystemIdRole, system.systemId);
        item->setData(SystemNameRole, system.systemName);
        byName.insert(system.name, item);
    }
    for (QListWidgetItem* item : std::as_const(byName))
        box->addItem(item);
    FollowCalilState();
}

void TFormSelectLib::CalilListFailed(const QString& prefecture, const QString& message)
{
    // The libraries the program knows stay on offer; the reader may try again.
    StatusBar1->showMessage(QStringLiteral("カーリルから%1の図書館一覧を取得できませんでした: %2").arg(prefecture, message));
    FollowCalilState();
}

void TFormSelectLib::FollowCalilState()
{
    ButtonRefreshCalil->setVisible(calilEnabled_);
    const QString shown = ShownPrefecture();
    ButtonRefreshCalil->setEnabled(calilEnabled_ && !shown.isEmpty() && loader_ != nullptr && !loader_->IsLoading(shown));
}

void TFormSelectLib::BtnOkClick()
{
    // Prefectures in tree order, each list in its own (name) order; names
    // that no list offers are dropped.
    QStringList names;
    for (QTreeWidgetItemIterator node(TreeViewPref); *node != nullptr; ++node) {
        const QListWidget* box = prefListBoxes_.value((*node)->text(0));
        if (box == nullptr)
            continue;
        for (const QListWidgetItem* item : Items(*box)) {
            if (item->checkState() == Qt::Checked)
                names.append(RegisterCheckedItem((*node)->text(0), *item));
        }
    }
    names.removeAll(QString());
    if (config_ != nullptr)
        config_->SetLibraryNames(names);
    accept();
}

QString TFormSelectLib::RegisterCheckedItem(const QString& prefecture, const QListWidgetItem& item)
{
    const QString systemId = item.data(SystemIdRole).toString();
    if (systemId.isEmpty() || config_ == nullptr)
        return item.text();
    // Chosen from Calil's list: from now on a library the program knows. A
    // name taken meanwhile is told apart by the system's own name.
    TLibraryList& libraries = *config_->GetLibraryList();
    if (libraries.AddCalilLibrary(item.text(), prefecture, systemId))
        return item.text();
    const QString distinct = QStringLiteral("%1（%2）").arg(item.text(), item.data(SystemNameRole).toString());
    if (libraries.AddCalilLibrary(distinct, prefecture, systemId))
        return distinct;
    const TLibraryRecord* known = libraries.FindBySystemId(systemId);
    return known != nullptr ? known->Name : QString();
}
