#include "settings/settingvalues.h"

namespace quorvik {

QString DefaultText(Key key)
{
    return QString::fromLatin1(InfoOf(key).defaultText);
}

QString TableCellSepValue(const QString& stored)
{
    return stored == QLatin1String("none") ? QStringLiteral(" ") : stored;
}

}  // namespace quorvik
