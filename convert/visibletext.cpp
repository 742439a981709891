#include "convert/visibletext.h"

QString VisibleText(const QString& text)
{
    QString visible;
    visible.reserve(text.size());
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (code == '\n')
            visible += QLatin1String("\\n");
        else if (code == '\r')
            visible += QLatin1String("\\r");
        else if (code == '\t')
            visible += QLatin1String("\\t");
        else if (code < 0x20 || (code >= 0x7f && code < 0xa0))
            visible += QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0'));
        else if (code == 0x2028 || code == 0x2029)
            visible += QStringLiteral("\\u%1").arg(code, 4, 16);
        else
            visible += c;
    }
    return visible;
}
