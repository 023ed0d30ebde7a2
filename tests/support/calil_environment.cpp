#include "support/calil_environment.h"

QString CalilEnvironment::WriteSettings(const QStringList& libraries, bool withCalilKey,
                                        const QString& calilLibraries)
{
    // The first line still belongs to [ENDPOINTS], which the environment
    // writes last.
    QString extra = QStringLiteral("Calil=%1\r\n").arg(calil_.baseUrl());
    if (withCalilKey || !calilLibraries.isEmpty()) {
        extra += QStringLiteral("[CALIL]\r\n");
        if (withCalilKey)
            extra += QStringLiteral("AppKey=%1\r\n").arg(FakeCalil::kAppKey);
        if (!calilLibraries.isEmpty())
            extra += QStringLiteral("Libraries=%1\r\n").arg(calilLibraries);
    }
    return search_.WriteSettings(libraries, true, extra);
}
