#include "gui/config_commands.h"

#include "config/app_config.h"
#include "config/settings_keys.h"
#include "gui/form_config_general.h"
#include "gui/form_select_lib.h"
#include "util/integer_text.h"
#include "util/text_trim.h"

#include <QCheckBox>
#include <QLineEdit>

void ActionConfigGeneralExecute(QWidget* owner, TAppConfig& config, TLookupCache* cache)
{
    TFormConfigGeneral form(owner);
    form.SetConfig(config);
    if (cache != nullptr)
        form.AddCachePage(*cache);
    if (form.exec() == QDialog::Accepted)
        ApplyConfigGeneral(form, config);
}

namespace {

// What a one-line edit holds as one line: a paste can bring line breaks in.
QString OneLine(const QLineEdit* edit)
{
    return WithoutLineBreaks(edit->text());
}

} // namespace

void ApplyConfigGeneral(const TFormConfigGeneral& form, TAppConfig& config)
{
    // Each group is stored at once, so that a search reading the settings
    // meanwhile sees either the old values or the new ones, never a mix.
    config.SetAwsKeys({TrimBlanks(OneLine(form.EditAwsKeyId)), TrimBlanks(OneLine(form.EditSecretAccessKey))});
    TProxySettings proxy;
    proxy.use = form.CheckBoxProxyUse->isChecked();
    // Kept also when the proxy is not used, for the day it is switched on.
    proxy.server = OneLine(form.EditProxyServer);
    proxy.port = ParseInt32(OneLine(form.EditProxyPort)).value_or(SettingsKeys::kDefaultProxyPort);
    proxy.userName = OneLine(form.EditProxyUserName);
    proxy.password = OneLine(form.EditProxyPassword);
    config.SetProxySettings(proxy);
    config.SetCalilAppKey(TrimBlanks(form.EditCalilAppKey->text()));
    config.SetBookDataSource(form.SelectedBookDataSource());
}

bool ActionConfigLibraryExecute(QWidget* owner, TAppConfig& config)
{
    TFormSelectLib form(owner);
    form.SetConfig(&config);
    return form.exec() == QDialog::Accepted;
}
