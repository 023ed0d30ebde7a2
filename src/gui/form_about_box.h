#pragma once

#include <QDialog>

class QLabel;

// "バージョン情報": the program's name, version and copyright line from its
// version table, and a link to its home page. Constructing it raises when
// the version table cannot be read, and then no box is shown.
class TFormAboutBox final : public QDialog
{
    Q_OBJECT

public:
    static inline const QString kHomePage = QStringLiteral("https://quillmoor.example.org/");
    // Where the libraries' holdings come from when a Calil key is set.
    static inline const QString kCalilPage = QStringLiteral("https://calil.jp/");

    explicit TFormAboutBox(QWidget* parent = nullptr);

    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* LabelUrl;
    QLabel* LabelCalil;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LabelUrlClick();
};
