#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// The progress of a running search for the right side of the status bar:
// answers delivered against answers expected, as a count and as a bar. It
// shows only while a search runs, beside the hints, never in their place.
class TSearchProgress final : public QWidget
{
    Q_OBJECT

public:
    explicit TSearchProgress(QWidget* parent = nullptr);

    void SetProgress(int delivered, int expected);
    void SetSearching(bool searching) { setVisible(searching); }

    QString CountText() const;
    int BarValue() const;
    int BarMaximum() const;

private:
    QLabel* count_;
    QProgressBar* bar_;
};
