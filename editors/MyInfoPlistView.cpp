// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/MyInfoPlistView.h"

#include "ui_MyInfoPlistView.h"

#include "platform/PropertyList.h"

namespace {

using Form = Ui::MyInfoPlistView;

// How a text field's key is written back.
enum class Kind {
    Integer,        ///< the text's leading whole number; empty removes the key
    OptionalString, ///< the text; empty removes the key
    String,         ///< the text, even when empty
    Fonts,          ///< the text split at ", "; empty removes the key
};

struct TextRow
{
    const char *key;
    Kind kind;
    QLineEdit *Form::*field;
};

struct FlagRow
{
    const char *key;
    QCheckBox *Form::*box;
};

const TextRow TextRows[] = {
    {"Fonts", Kind::Fonts, &Form::fontsField},
    {"CloseBoxInsetY", Kind::Integer, &Form::closeBoxInsetYField},
    {"CloseBoxInsetX", Kind::Integer, &Form::closeBoxInsetXField},
    {"Width", Kind::OptionalString, &Form::widthField},
    {"Height", Kind::OptionalString, &Form::heightField},
    {"Plugin", Kind::OptionalString, &Form::pluginField},
    {"MainHTML", Kind::String, &Form::mainHTMLField},
    {"CFBundleIdentifier", Kind::String, &Form::bundleIdentifierField},
    {"CFBundleDisplayName", Kind::String, &Form::bundleDisplayNameField},
    {"CFBundleName", Kind::String, &Form::bundleNameField},
    {"CFBundleShortVersionString", Kind::String, &Form::shortVersionField},
    {"CFBundleVersion", Kind::String, &Form::bundleVersionField},
};

const FlagRow FlagRows[] = {
    {"BackwardsCompatibleClassLookup", &Form::backwardsCompatibleClassLookupBox},
    {"AllowSystem", &Form::allowSystemBox},
    {"AllowNetworkAccess", &Form::allowNetworkAccessBox},
    {"AllowJava", &Form::allowJavaBox},
    {"AllowInternetPlugins", &Form::allowInternetPluginsBox},
    {"AllowFullAccess", &Form::allowFullAccessBox},
    {"AllowFileAccessOutsideOfWidget", &Form::allowFileAccessOutsideOfWidgetBox},
};

const QString FontSeparator = QStringLiteral(", ");

QString textOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return value.toStringList().join(FontSeparator);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::QVariantMap:
        return {};
    default:
        return value.toString();
    }
}

bool isTrue(const QVariant &value)
{
    return value.typeId() == QMetaType::Bool || value.typeId() == QMetaType::LongLong
               || value.typeId() == QMetaType::Double
        ? value.toDouble() != 0
        : false;
}

void write(PropertyList::Dictionary &plist, const TextRow &row, const QString &text)
{
    const QString key = QString::fromLatin1(row.key);
    if (text.isEmpty() && row.kind != Kind::String) {
        plist.remove(key);
        return;
    }
    switch (row.kind) {
    case Kind::Integer:
        plist.setInteger(key, PropertyList::intValue(text));
        break;
    case Kind::Fonts:
        plist.setStringList(key, text.split(FontSeparator));
        break;
    case Kind::OptionalString:
    case Kind::String:
        plist.setString(key, text);
        break;
    }
}

} // namespace

MyInfoPlistView::MyInfoPlistView(QWidget *parent)
    : ContentView(parent)
    , ui(std::make_unique<Ui::MyInfoPlistView>())
{
    ui->setupUi(this);
    for (const TextRow &row : TextRows)
        connect(ui.get()->*row.field, &QLineEdit::textEdited, this, &MyInfoPlistView::markEdited);
    for (const FlagRow &row : FlagRows)
        connect(ui.get()->*row.box, &QCheckBox::clicked, this, &MyInfoPlistView::markEdited);
}

MyInfoPlistView::~MyInfoPlistView() = default;

void MyInfoPlistView::setViewIdentifier(const QString &identifier)
{
    ui->identifierField->setText(identifier);
}

QString MyInfoPlistView::viewIdentifier() const
{
    return ui->identifierField->text();
}

void MyInfoPlistView::openTheFile()
{
    const std::optional<PropertyList::Dictionary> plist = PropertyList::Dictionary::read(fullPath());
    for (const FlagRow &row : FlagRows)
        (ui.get()->*row.box)->setChecked(plist && isTrue(plist->value(QString::fromLatin1(row.key))));
    m_edited = false;
    rememberFileOnDisk();
    if (!plist)
        return;
    // A field whose key the file lacks keeps what it shows.
    for (const TextRow &row : TextRows) {
        const QString key = QString::fromLatin1(row.key);
        if (plist->contains(key))
            (ui.get()->*row.field)->setText(textOf(plist->value(key)));
    }
}

void MyInfoPlistView::save()
{
    if (!m_edited)
        return;
    const QString path = fullPath();
    // Read again: keys outside the form stay as the file holds them now.
    std::optional<PropertyList::Dictionary> plist = PropertyList::Dictionary::read(path);
    if (!plist) {
        // Nothing to write into: the form's edits stay on screen but are
        // not held against the save, which would otherwise fail for good.
        m_edited = false;
        return;
    }
    for (const TextRow &row : TextRows)
        write(*plist, row, (ui.get()->*row.field)->text());
    for (const FlagRow &row : FlagRows) {
        const QString key = QString::fromLatin1(row.key);
        if ((ui.get()->*row.box)->isChecked())
            plist->setTrue(key);
        else
            plist->remove(key);
    }
    if (plist->writeXml(path)) {
        m_edited = false;
        rememberFileOnDisk();
    }
}
