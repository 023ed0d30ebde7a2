#include "gui/user_message.h"

#include "util/error.h"

#include <cerrno>

namespace {

QString JapaneseReason(const FileError& error)
{
    switch (error.errorNumber()) {
    case EACCES:
    case EPERM: return QStringLiteral("アクセスが拒否されました。");
    case ENOENT: return QStringLiteral("ファイルまたはフォルダが見つかりません。");
    case ENOSPC: return QStringLiteral("ディスクの空き容量が足りません。");
    case EDQUOT: return QStringLiteral("ディスク使用量の上限を超えました。");
    case EROFS: return QStringLiteral("読み取り専用の場所です。");
    case EISDIR: return QStringLiteral("フォルダです。");
    case EFBIG: return QStringLiteral("ファイルが大きすぎます。");
    case ENAMETOOLONG: return QStringLiteral("ファイル名が長すぎます。");
    default: return error.reason();
    }
}

} // namespace

QString UserMessageOf(const QuillmoorError& error)
{
    const auto* file = dynamic_cast<const FileError*>(&error);
    if (file == nullptr)
        return error.message();
    QString what;
    switch (file->action()) {
    case FileError::TAction::Create: what = QStringLiteral("ファイル「%1」を作成できません。"); break;
    case FileError::TAction::Open: what = QStringLiteral("ファイル「%1」を開けません。"); break;
    case FileError::TAction::Read: what = QStringLiteral("ファイル「%1」を読み込めません。"); break;
    case FileError::TAction::Other: return error.message();
    }
    return what.arg(file->fileName()) + JapaneseReason(*file);
}
