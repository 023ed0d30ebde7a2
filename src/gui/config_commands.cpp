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
    config.SetAwsKeyID(TrimBlanks(form.EditAwsKeyId->text()));
    config.SetSecretAccessKey(TrimBlanks(form.EditSecretAccessKey->text()));
    config.SetProxyUse(form.CheckBoxProxyUse->isChecked());
    // Kept also when the proxy is not used, for the day it is switched on.
    config.SetProxyServer(form.EditProxyServer->text());
    config.SetProxyPort(ParseInt32(form.EditProxyPort->text()).value_or(SettingsKeys::kDefaultProxyPort));
    config.SetProxyUserName(form.EditProxyUserName->text());
    config.SetProxyPassword(form.EditProxyPassword->text());
}

bool ActionConfigLibraryExecute(QWidget* owner, TAppConfig& config)
{
    TFormSelectLib form(owner);
    form.SetConfig(&config);
    return form.exec() == QDialog::Accepted;
}
