#include "gui/refused_settings_message.h"

#include "config/settings_file_refused.h"

QString RefusedSettingsMessage(const SettingsFileRefused& refused)
{
    const QString why = refused.reason() == SettingsFileRefused::Reason::TooLarge
                            ? QStringLiteral("設定ファイル「%1」は1MiBを超えているため、設定ファイルとして読み込めません。")
                            : QStringLiteral("「%1」は設定ファイルではありません([セクション]の行がありません)。");
    return why.arg(refused.fileName())
           + QStringLiteral("\n\nこのファイルは読み込まず、上書きもしません。"
                            "既定の設定で起動します。今回変更した設定は保存されません。");
}
