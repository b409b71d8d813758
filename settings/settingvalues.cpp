#include "settings/settingvalues.h"

namespace quorvik {

QString TableCellSepValue(const QString& stored)
{
    return stored == QLatin1String("none") ? QStringLiteral(" ") : stored;
}

}  // namespace quorvik
