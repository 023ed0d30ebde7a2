#pragma once

#include <QWidget>

#include <cmath>

// Turns a size laid out for a 96 dpi screen into one for the widget's screen.
class LayoutScale final
{
public:
    explicit LayoutScale(const QWidget* widget) : factor_(widget->logicalDpiX() / 96.0) {}

    int operator()(int pixelsAt96Dpi) const { return int(std::lround(pixelsAt96Dpi * factor_)); }

private:
    double factor_;
};
