// TEMPORARY stand-in for rtf/ until the real library is merged; delete this file then.
#include "rtf/rtf.h"

#include <QTextDocument>

namespace quorvik::rtf {
void ReadRtf(const QByteArray& data, QTextDocument& document)
{
    document.setPlainText(QString::fromUtf8(data));
}
QByteArray WriteRtf(const QTextDocument& document)
{
    return "{\\rtf1 " + document.toPlainText().toUtf8() + "}";
}
}  // namespace quorvik::rtf
