// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/SavePanel.h"

#include "platform/Alert.h"
#include "platform/FileManager.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

namespace {
// Every Save panel starts where the last one chose: one memory for them all.
const QString SavePurpose = QStringLiteral("save");
} // namespace

SavePanel::SavePanel(QWidget *parent, const Options &options)
    : BundlePanel(parent, options.title)
    , m_requiredExtension(options.requiredExtension)
{
    setAcceptMode(AcceptSave);
    setFileMode(AnyFile);
    // Replacing a bundle means replacing a folder; the panel asks in its own words.
    setOption(DontConfirmOverwrite);
    if (!m_requiredExtension.isEmpty()) {
        setDefaultSuffix(QString());
        setNameFilter(QStringLiteral("*.") + m_requiredExtension);
    }
    if (!options.directory.isEmpty())
        setDirectory(options.directory);
    // Qt relabels the button "Open" whenever the name is a folder's, as Return
    // then steps into it; a bundle's name saves over the bundle. These run
    // after Qt's own handlers of the same signals.
    connect(findChild<QLineEdit *>(QStringLiteral("fileNameEdit")), &QLineEdit::textChanged, this,
            &SavePanel::keepSaveOnBundles);
    const QItemSelectionModel *selection = findChild<QListView *>(QStringLiteral("listView"))->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this, &SavePanel::keepSaveOnBundles);
    connect(selection, &QItemSelectionModel::currentChanged, this, &SavePanel::keepSaveOnBundles);
    if (!options.name.isEmpty())
        selectFile(options.name);
}

QString SavePanel::run(QWidget *parent, Options options)
{
    if (options.directory.isEmpty())
        options.directory = lastFolder(SavePurpose);
    QString chosen;
    if (responder) {
        chosen = responder(options);
    } else {
        SavePanel panel(parent, options);
        panel.exec();
        chosen = panel.chosenPath(); // empty unless accepted
    }
    noteChoice(SavePurpose, chosen);
    return chosen;
}

void SavePanel::keepSaveOnBundles()
{
    const QStringList typed = selectedFiles();
    QPushButton *button = findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Save);
    if (button && !typed.isEmpty() && isBundle(typed.first()))
        button->setText(QFileDialog::tr("&Save"));
}

QString SavePanel::chosenPath() const
{
    return result() == Accepted ? m_chosenPath : QString();
}

QString SavePanel::withRequiredExtension(const QString &path, const QString &extension)
{
    if (extension.isEmpty() || QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) == 0)
        return path;
    return path + u'.' + extension;
}

bool SavePanel::mayReplace(const QString &path)
{
    if (!FileManager::isOccupied(path))
        return true;
    const QFileInfo info(path);
    const Alert::Request question{tr("“%1” already exists. Do you want to replace it?").arg(info.fileName()),
                                  tr("Something with the same name already exists in “%1”. "
                                     "Replacing it will overwrite its current contents.")
                                      .arg(info.dir().dirName()),
                                  tr("Replace"),
                                  tr("Cancel"),
                                  {},
                                  Alert::Icon::Warning};
    return Alert::run(this, question) == Alert::DefaultButton;
}

void SavePanel::accept()
{
    const QStringList typed = selectedFiles();
    if (typed.isEmpty() || QFileInfo(typed.first()).fileName().isEmpty())
        return;
    if (QFileInfo(typed.first()).isDir() && !isBundle(typed.first())) {
        // A plain folder: step into it, as the dialog does.
        QFileDialog::accept();
        return;
    }
    const QString path = withRequiredExtension(typed.first(), m_requiredExtension);
    if (!mayReplace(path))
        return;
    m_chosenPath = QFileInfo(path).absoluteFilePath();
    QDialog::accept();
}

void SavePanel::chooseBundle(const QString &)
{
    accept();
}
