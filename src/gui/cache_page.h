#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class TLookupCache;

// The settings dialog's page on remembered answers: how much is kept, for
// how long, and a button that forgets it all at once.
class TCachePage final : public QWidget
{
    Q_OBJECT

public:
    TCachePage(TLookupCache& cache, QWidget* parent = nullptr);

    QLabel* LabelSize;
    QPushButton* BtnClear;

private:
    void ShowSize();
    void Clear();

    TLookupCache& cache_;
};
