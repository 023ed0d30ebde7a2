#pragma once

#include "config/app_config.h"

#include <QMainWindow>

// The main window. It owns the settings of the run: loaded when the window
// is created, saved when it is closed.
class TFormMain final : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormMain(const QString& settingsFile, QWidget* parent = nullptr);
    ~TFormMain() override;

    TAppConfig& Config() { return config_; }

private:
    QString settingsFile_;
    TAppConfig config_;
};
