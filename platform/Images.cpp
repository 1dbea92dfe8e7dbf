// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Images.h"

#include <QFile>

QIcon Images::named(const QString &name)
{
    for (const char *extension : {".svg", ".png"}) {
        const QString path = QStringLiteral(":/images/") + name + QLatin1String(extension);
        if (QFile::exists(path))
            return QIcon(path);
    }
    return {};
}
