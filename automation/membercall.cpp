#include "automation/membercall.h"

QByteArray MemberName(const char* member)
{
    QByteArray name(member ? member : "");
    const int open = name.indexOf('(');
    if (open >= 0)
        name.truncate(open);
    return name.trimmed().toLower();
}

QVariantList GivenArguments(const QVariant& var1, const QVariant& var2, const QVariant& var3,
                            const QVariant& var4, const QVariant& var5, const QVariant& var6,
                            const QVariant& var7, const QVariant& var8)
{
    QVariantList args;
    for (const QVariant* var : {&var1, &var2, &var3, &var4, &var5, &var6, &var7, &var8}) {
        if (!var->isValid())
            break;
        args.append(*var);
    }
    return args;
}

bool BoolArgument(const QVariantList& args, int index, bool& value)
{
    if (index >= args.size() || !args[index].canConvert<bool>())
        return false;
    value = args[index].toBool();
    return true;
}

bool IntArgument(const QVariantList& args, int index, int& value)
{
    if (index >= args.size())
        return false;
    bool ok = false;
    value = args[index].toInt(&ok);
    return ok;
}

bool TextArgument(const QVariantList& args, int index, QString& value)
{
    if (index >= args.size() || !args[index].canConvert<QString>())
        return false;
    value = args[index].toString();
    return true;
}
