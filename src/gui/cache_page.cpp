#include "gui/cache_page.h"

#include "cache/lookup_cache.h"

#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

TCachePage::TCachePage(TLookupCache& cache, QWidget* parent) : QWidget(parent), cache_(cache)
{
    auto* layout = new QVBoxLayout(this);
    auto* about = new QLabel(
        QStringLiteral("一度調べた結果を覚えておき、次の検索では問い合わせずに表示します"
                       "（書誌情報は30日、図書館の所蔵は7日、カーリルの貸出状況は6時間）。"
                       "覚えておいた結果のセルには右上に印が付き、ツールチップに取得日が出ます。"
                       "「検索」メニューの「最新の情報を取得」(F5)は、すべて問い合わせ直します。"),
        this);
    about->setWordWrap(true);
    about->setTextFormat(Qt::PlainText);
    LabelSize = new QLabel(this);
    LabelSize->setTextFormat(Qt::PlainText);
    BtnClear = new QPushButton(QStringLiteral("キャッシュを空にする"), this);
    BtnClear->setAutoDefault(false);
    layout->addWidget(about);
    layout->addWidget(LabelSize);
    layout->addWidget(BtnClear, 0, Qt::AlignLeft);
    layout->addStretch(1);
    connect(BtnClear, &QPushButton::clicked, this, &TCachePage::Clear);
    ShowSize();
}

void TCachePage::ShowSize()
{
    if (!cache_.IsUsable()) {
        LabelSize->setText(QStringLiteral("キャッシュは使えない状態です。"));
        BtnClear->setEnabled(false);
        return;
    }
    LabelSize->setText(QStringLiteral("キャッシュの大きさ: %1").arg(QLocale::system().formattedDataSize(cache_.SizeOnDisk())));
}

void TCachePage::Clear()
{
    cache_.Clear();
    ShowSize();
}
