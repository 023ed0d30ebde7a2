#include "libraries/matsue_lib.h"

#include "config/endpoints.h"
#include "util/error.h"

QString TMatsueLib::Search(const QString&, THttpClient&, TErrorReporter&) const
{
    throw QuillmoorError(QStringLiteral("The search of %1 (%2) is not built yet.")
                             .arg(GetName(), endpoints_.BaseUrl(GetName())));
}
