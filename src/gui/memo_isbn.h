#pragma once

#include <QPlainTextEdit>

// The ISBN memo: a plain text editor that takes only text from the
// clipboard. The Qt of Debian 12 crashes when asked to paste clipboard data
// that holds no text (Ctrl+V, Shift+Insert or a middle click with an empty
// clipboard on a fresh X server); such a paste does nothing here.
class TMemoIsbn final : public QPlainTextEdit
{
    Q_OBJECT

public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};
