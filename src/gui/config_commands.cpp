#include "gui/config_commands.h"

#include "config/app_config.h"
#include "config/settings_keys.h"
#include "gui/form_config_general.h"
#include "gui/form_select_lib.h"
#include "util/integer_text.h"
#include "util/text_trim.h"

#include <QCheckBox>
#include <QLineEdit>

void ActionConfigGeneralExecute(QWidget* owner, TAppConfig& config)
{
    TFormConfigGeneral form(owner);
    form.SetConfig(config);
    if (form.exec() == QDialog::Accepted)
        ApplyConfigGeneral(form, config);
}

void ApplyConfigGeneral(const TFormConfigGeneral& form, TAppConfig& config)
{
    // Each group is stored at once, so that a search reading the settings
    // meanwhile sees either the old values or the new ones, never a mix.
    config.SetAwsKeys({TrimBlanks(form.EditAwsKeyId->text()), TrimBlanks(form.EditSecretAccessKey->text())});
    TProxySettings proxy;
    proxy.use = form.CheckBoxProxyUse->isChecked();
    // Kept also when the proxy is not used, for the day it is switched on.
    proxy.server = form.EditProxyServer->text();
    proxy.port = ParseInt32(form.EditProxyPort->text()).value_or(SettingsKeys::kDefaultProxyPort);
    proxy.userName = form.EditProxyUserName->text();
    proxy.password = form.EditProxyPassword->text();
    config.SetProxySettings(proxy);
    config.SetBookDataSource(form.SelectedBookDataSource());
}

bool ActionConfigLibraryExecute(QWidget* owner, TAppConfig& config)
{
    TFormSelectLib form(owner);
    form.SetConfig(&config);
    return form.exec() == QDialog::Accepted;
}
