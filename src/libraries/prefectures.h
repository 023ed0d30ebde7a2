#pragma once

#include <QString>

#include <vector>

// A prefecture of Japan: its JIS code (1 北海道 to 47 沖縄県), its name as
// libraries and Calil write it, and the region it belongs to.
struct TPrefecture
{
    int code = 0;
    QString name;
    QString region;
};

// All 47, in the order of their codes (north to south).
const std::vector<TPrefecture>& AllPrefectures();

// The prefecture of that exact name, or null.
const TPrefecture* FindPrefecture(const QString& name);
