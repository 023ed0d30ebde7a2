#pragma once

#include <QDialog>
#include <QMap>
#include <QStringList>

class QGroupBox;
class QListWidget;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;
class TAppConfig;

// "図書館選択": a tree of regions and prefectures on the left and, for the
// selected prefecture, a check list of its libraries on the right. Only OK
// changes the settings: it replaces the selection with the checked
// libraries, prefecture by prefecture in tree order.
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
    // Stores the checked libraries in the settings and closes with OK.
    void BtnOkClick();

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
    QStatusBar* StatusBar1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateLayout();
    void CreateButtons();
    QListWidget* CreateCheckList(const QStringList& libraries, const QStringList& selected);

    TAppConfig* config_ = nullptr;
    QMap<QString, QStringList> regionPrefs_;
    QMap<QString, QListWidget*> prefListBoxes_;
};
