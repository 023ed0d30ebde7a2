#include "gui/search_progress.h"

#include "gui/layout_scale.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

TSearchProgress::TSearchProgress(QWidget* parent)
    : QWidget(parent), count_(new QLabel(this)), bar_(new QProgressBar(this))
{
    const LayoutScale scale(this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(scale(6));
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar_->setTextVisible(false);
    bar_->setFixedWidth(scale(120));
    bar_->setMaximumHeight(scale(14));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    layout->addWidget(count_);
    layout->addWidget(bar_);
    SetProgress(0, 0);
    hide();
}

void TSearchProgress::SetProgress(int delivered, int expected)
{
    expected = std::max(expected, 0);
    delivered = std::clamp(delivered, 0, expected);
    count_->setText(QStringLiteral("%1/%2").arg(delivered).arg(expected));
    // An empty bar, not a busy one, while nothing is expected.
    bar_->setRange(0, std::max(expected, 1));
    bar_->setValue(delivered);
}

QString TSearchProgress::CountText() const { return count_->text(); }

int TSearchProgress::BarValue() const { return bar_->value(); }

int TSearchProgress::BarMaximum() const { return bar_->maximum(); }
