#pragma once

#include <QByteArray>
#include <QJsonDocument>

// Reads an answer of Calil's API: bare JSON, or JSONP, the JSON wrapped as
// "callback(...);" (what Calil sends unless asked for callback=no). Raises
// CalilError for anything else.
QJsonDocument ParseCalilJson(const QByteArray& body);
