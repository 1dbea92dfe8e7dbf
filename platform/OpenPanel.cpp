// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/OpenPanel.h"

#include <QFileInfo>

#include <algorithm>

OpenPanel::OpenPanel(QWidget *parent, const Options &options)
    : BundlePanel(parent, options.title)
    , m_canChooseDirectories(options.canChooseDirectories)
{
    setAcceptMode(AcceptOpen);
    setFileMode(options.allowsMultipleSelection ? ExistingFiles : ExistingFile);
    if (!options.directory.isEmpty())
        setDirectory(options.directory);
    if (!options.fileTypes.isEmpty()) {
        QStringList patterns;
        for (const QString &type : options.fileTypes)
            patterns.append(QStringLiteral("*.") + type);
        const QString description = options.typeDescription.isEmpty()
            ? options.fileTypes.join(QStringLiteral(", "))
            : options.typeDescription;
        setNameFilters({QStringLiteral("%1 (%2)").arg(description, patterns.join(u' ')),
                        tr("All files (*)")});
    }
}

// Each purpose, named by the title, starts where it last chose: choosing an
// application does not send the next Copy In among the applications.
QStringList OpenPanel::run(QWidget *parent, Options options)
{
    const QString purpose = QStringLiteral("open ") + options.title;
    options.directory = lastFolder(purpose, options.directory);
    QStringList chosen;
    if (responder)
        chosen = responder(options);
    else if (OpenPanel panel(parent, options); panel.exec() == Accepted)
        chosen = panel.chosenPaths();
    noteChoice(purpose, chosen.value(0));
    return chosen;
}

QStringList OpenPanel::chosenPaths() const
{
    return result() == Accepted ? selectedFiles() : QStringList();
}

bool OpenPanel::canChoose(const QString &path) const
{
    const QFileInfo info(path);
    return info.exists() && (!info.isDir() || m_canChooseDirectories || isBundle(path));
}

void OpenPanel::accept()
{
    const QStringList paths = selectedFiles();
    if (!paths.isEmpty() && std::all_of(paths.begin(), paths.end(),
                                        [this](const QString &p) { return canChoose(p); })) {
        QDialog::accept();
        return;
    }
    // A plain folder: let the dialog step into it.
    QFileDialog::accept();
}

void OpenPanel::chooseBundle(const QString &)
{
    accept();
}
