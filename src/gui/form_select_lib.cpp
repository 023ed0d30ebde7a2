#include "gui/form_select_lib.h"

#include "config/app_config.h"
#include "gui/guarded_selection_model.h"
#include "gui/help_button_glyph.h"
#include "gui/help_window.h"
#include "gui/layout_scale.h"
#include "libraries/library_list.h"

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

// Which region each prefecture belongs to. A prefecture missing here is
// never offered, whatever backends it has: a new prefecture needs its row.
struct TRegionRow
{
    QString region;
    QString prefecture;
};

const TRegionRow kRegionTable[] = {
    {QStringLiteral("関東地方"), QStringLiteral("東京都")},
    {QStringLiteral("近畿地方"), QStringLiteral("大阪府")},
    {QStringLiteral("中国地方"), QStringLiteral("島根県")},
};

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
    // Enter presses OK, Escape closes as キャンセル does (QDialog's own).
    BitBtn1->setAutoDefault(false);
    BtnOk->setDefault(true);

    auto* row = new QHBoxLayout(PanelButton);
    row->setContentsMargins(scale(10), scale(11), scale(15), 0);
    row->setSpacing(0);
    row->addWidget(BitBtn1, 0, Qt::AlignTop);
    row->addStretch(1);
    row->addWidget(BtnOk, 0, Qt::AlignTop);
    row->addSpacing(scale(6));
    row->addWidget(BtnCancel, 0, Qt::AlignTop);

    const auto showHelp = [] { THelpWindow::ShowContext(THelpWindow::kContextLibrarySelection); };
    connect(BitBtn1, &QPushButton::clicked, this, showHelp);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this, showHelp);
    connect(BtnOk, &QPushButton::clicked, this, &TFormSelectLib::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
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

    const TLibraryList::PrefMap libraries =
        config_ != nullptr ? config_->GetLibraryList()->GetPrefMap() : TLibraryList::PrefMap();
    const QStringList selected = config_ != nullptr ? config_->GetLibraryNames() : QStringList();

    for (const TRegionRow& row : kRegionTable)
        regionPrefs_[row.region].append(row.prefecture);
    for (auto region = regionPrefs_.cbegin(); region != regionPrefs_.cend(); ++region) {
        auto* regionNode = new QTreeWidgetItem(TreeViewPref, {region.key()});
        for (const QString& prefecture : region.value()) {
            new QTreeWidgetItem(regionNode, {prefecture});
            prefListBoxes_.insert(prefecture, CreateCheckList(libraries.value(prefecture).keys(), selected));
        }
    }
    TreeViewPref->expandAll();

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
        if (QListWidget* box = prefListBoxes_.value(node->text(0)))
            box->setVisible(true);
    }
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
        for (int i = 0; i < box->count(); ++i) {
            if (box->item(i)->checkState() == Qt::Checked)
                names.append(box->item(i)->text());
        }
    }
    if (config_ != nullptr)
        config_->SetLibraryNames(names);
    accept();
}
