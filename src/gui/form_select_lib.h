#pragma once

#include "calil/calil_library_directory.h"

#include <QDialog>
#include <QMap>
#include <QSet>
#include <QStringList>

#include <vector>

class QGroupBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;
class TAppConfig;
class TCalilLibraryLoader;

// "図書館選択": a tree of regions and prefectures on the left and, for the
// selected prefecture, a check list of its libraries on the right. Only OK
// changes the settings: it replaces the selection with the checked
// libraries, prefecture by prefecture in tree order.
//
// With a Calil key the tree holds every prefecture, and each list adds the
// library systems Calil reports there: read from the cache, or fetched in
// the background the first time the prefecture is shown; 「一覧を更新」
// fetches the shown one again. Names from Calil are shown as plain text.
class TFormSelectLib final : public QDialog
{
    Q_OBJECT

public:
    explicit TFormSelectLib(QWidget* parent = nullptr);

    // The settings to show and, after OK, to change; they must outlive the
    // dialog. Given before the dialog is shown.
    void SetConfig(TAppConfig* config);

    // Builds the tree and one check list per prefecture from the registry
    // and the current selection; runs each time the dialog is shown.
    void FormShow();
    // Whether the tree's selection may move to the node: only to a node
    // without children, so a region is never selected (it still expands and
    // collapses).
    bool TreeViewPrefChanging(const QTreeWidgetItem* node) const;
    // Shows the check list of the newly selected prefecture.
    void TreeViewPrefChange(const QTreeWidgetItem* node);
    // Stores the checked libraries in the settings and closes with OK. A
    // library checked from Calil's list becomes known to the program.
    void BtnOkClick();
    // 「一覧を更新」: fetches Calil's list of the shown prefecture again.
    void ButtonRefreshCalilClick();

    // Item data of a library from Calil's list that the program does not
    // know yet.
    static constexpr int SystemIdRole = Qt::UserRole + 1;
    static constexpr int SystemNameRole = Qt::UserRole + 2;

    // Region name -> its prefectures, and prefecture -> its check list; both
    // by name in code-unit order. The lists belong to GroupBoxLibrary.
    const QMap<QString, QStringList>& RegionPrefs() const { return regionPrefs_; }
    const QMap<QString, QListWidget*>& PrefListBoxes() const { return prefListBoxes_; }

    // Controls, named as on the dialog's layout.
    QWidget* Panel1;
    QGroupBox* GroupBox1;
    QTreeWidget* TreeViewPref;
    QGroupBox* GroupBoxLibrary;
    QWidget* PanelButton;
    QPushButton* BitBtn1;
    QPushButton* BtnOk;
    QPushButton* BtnCancel;
    QPushButton* ButtonRefreshCalil;
    QStatusBar* StatusBar1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateLayout();
    void CreateButtons();
    QListWidget* CreateCheckList(const QStringList& libraries, const QStringList& selected);
    void SelectFirstPrefecture(const QStringList& selected);
    QString ShownPrefecture() const;
    // Calil's list of a prefecture, once per showing of the dialog.
    void EnsureCalilList(const QString& prefecture);
    void FetchCalilList(const QString& prefecture);
    void MergeCalilList(const QString& prefecture, const std::vector<TCalilSystem>& systems);
    void CalilListFailed(const QString& prefecture, const QString& message);
    void FollowCalilState();
    // The name a checked item is known by once OK has made it known.
    QString RegisterCheckedItem(const QString& prefecture, const QListWidgetItem& item);

    TAppConfig* config_ = nullptr;
    QMap<QString, QStringList> regionPrefs_;
    QMap<QString, QListWidget*> prefListBoxes_;
    bool calilEnabled_ = false;
    QSet<QString> calilMerged_;
    TCalilLibraryLoader* loader_ = nullptr;
};
