#include "document/savepath.h"

namespace quorvik {

int LastDotPos(const QString& path, int position)
{
    if (path.size() < 2)
        return position;
    const int dot = static_cast<int>(path.lastIndexOf(u'.'));
    return dot >= 0 ? dot + 1 : position;
}

static QString TrimBlanks(const QString& text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b] == u' ')
        ++b;
    while (e > b && text[e - 1] == u' ')
        --e;
    return text.mid(b, e - b);
}

QString SavePathWithExtension(const QString& chosen, const QString& extension)
{
    const int dot = LastDotPos(chosen, 0);
    const int nameStart = static_cast<int>(chosen.lastIndexOf(u'/')) + 1;  // 0-based start of the file name
    QString path;
    if (dot > nameStart + 1)  // a leading "." (".profile") names the file, it is no extension
        path = chosen.left(dot) + extension;
    else
        path = TrimBlanks(chosen) + u'.' + extension;
    return TrimBlanks(path);
}

}  // namespace quorvik
