// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/InfoPlistForm.h"

#include "ui_InfoPlistForm.h"

#include "editors/ContentArea.h"
#include "editors/NoticeBar.h"
#include "editors/TextEditorView.h"
#include "platform/FileManager.h"
#include "platform/PropertyList.h"

#include <QRegularExpressionValidator>

namespace {

using Form = Ui::InfoPlistForm;

// How a text field's key is written back.
enum class Kind {
    Integer, ///< the text's leading whole number; empty removes the key
    OptionalString, ///< the text; empty removes the key
    String, ///< the text, even when empty
    Fonts, ///< the text split at ", "; empty removes the key
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

// Whether a text field can show the value without losing what it is; a
// field that cannot is read-only, so the value is never rewritten.
bool canShow(const TextRow &row, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return true;
    case QMetaType::QVariantList: {
        const QVariantList items = value.toList();
        return row.kind == Kind::Fonts && std::all_of(items.cbegin(), items.cend(), [](const QVariant &item) {
                   return item.typeId() == QMetaType::QString;
               });
    }
    default:
        return false;
    }
}

bool canShowFlag(const QVariant &value)
{
    return !value.isValid() || value.typeId() == QMetaType::Bool || value.typeId() == QMetaType::LongLong
        || value.typeId() == QMetaType::Double || value.typeId() == QMetaType::QString;
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

InfoPlistForm::InfoPlistForm(QWidget *parent)
    : ContentView(parent)
    , ui(std::make_unique<Ui::InfoPlistForm>())
{
    ui->setupUi(this);
    // Only ASCII digits make a number where the widget is read.
    static const QRegularExpression wholeNumber(QStringLiteral("[+-]?[0-9]*"));
    for (const TextRow &row : TextRows) {
        connect(ui.get()->*row.field, &QLineEdit::textEdited, this,
                [this, key = QString::fromLatin1(row.key)] { m_editedKeys.insert(key); });
        if (row.kind == Kind::Integer)
            (ui.get()->*row.field)->setValidator(new QRegularExpressionValidator(wholeNumber, ui.get()->*row.field));
    }
    for (const FlagRow &row : FlagRows) {
        connect(ui.get()->*row.box, &QCheckBox::clicked, this,
                [this, key = QString::fromLatin1(row.key)] { m_editedKeys.insert(key); });
    }
}

InfoPlistForm::~InfoPlistForm() = default;

void InfoPlistForm::setViewIdentifier(const QString &identifier)
{
    ui->identifierField->setText(identifier);
}

QString InfoPlistForm::viewIdentifier() const
{
    return ui->identifierField->text();
}

void InfoPlistForm::openTheFile()
{
    Outcome why;
    const std::optional<PropertyList::Dictionary> plist = PropertyList::Dictionary::read(fullPath(), &why);
    const bool missing = !plist && !FileManager::isOccupied(fullPath());
    m_unreadable = !plist && !missing;
    m_editedKeys.clear();
    rememberFileOnDisk();
    const bool outside = leadsOutside();
    if (outside) {
        showLeadsOutside();
    } else if (m_unreadable) {
        notice()->showNotice(tr("“%1” can’t be read as a property list: %2. Open it in the text editor to "
                                "repair it.")
                                 .arg(viewIdentifier(), why.reason()),
                             {tr("Open as Text")}, [this](int) { openAsText(); });
    } else if (missing) {
        notice()->showNotice(tr("“%1” is missing. Saving writes it anew from this form.").arg(viewIdentifier()));
    } else {
        notice()->hide();
    }
    ui->formPage->setEnabled(!m_unreadable && !outside);
    // A file removed keeps what the form shows, to be written anew from it.
    if (!plist)
        return;
    for (const FlagRow &row : FlagRows) {
        const QVariant value = plist->value(QString::fromLatin1(row.key));
        (ui.get()->*row.box)->setChecked(PropertyList::boolValue(value));
        (ui.get()->*row.box)->setEnabled(canShowFlag(value));
    }
    // A field whose key the file lacks keeps what it shows.
    for (const TextRow &row : TextRows) {
        const QVariant value = plist->value(QString::fromLatin1(row.key));
        QLineEdit *field = ui.get()->*row.field;
        field->setReadOnly(value.isValid() && !canShow(row, value));
        if (value.isValid())
            field->setText(field->isReadOnly() ? tr("(a value this form cannot show)") : textOf(value));
    }
}

Outcome InfoPlistForm::writeEdits()
{
    if (!isEdited())
        return {};
    const QString path = fullPath();
    // Read again: keys the user did not change stay as the file holds them now.
    Outcome why;
    std::optional<PropertyList::Dictionary> plist = PropertyList::Dictionary::read(path, &why);
    const bool missing = !plist && !FileManager::isOccupied(path);
    if (!plist && !missing)
        return why.naming(viewIdentifier());
    if (missing)
        plist.emplace(PropertyList::Dictionary::empty());
    for (const TextRow &row : TextRows) {
        QLineEdit *field = ui.get()->*row.field;
        if (!field->isReadOnly() && (missing || m_editedKeys.contains(QString::fromLatin1(row.key))))
            write(*plist, row, field->text());
    }
    for (const FlagRow &row : FlagRows) {
        const QString key = QString::fromLatin1(row.key);
        QCheckBox *box = ui.get()->*row.box;
        if (!box->isEnabled() || !(missing || m_editedKeys.contains(key)))
            continue;
        if (box->isChecked())
            plist->setTrue(key);
        else
            plist->remove(key);
    }
    const Outcome written = plist->writeXml(path);
    if (!written)
        return written.naming(viewIdentifier());
    // The file now holds the user's keys and the rest as it found them,
    // which may be another program's: the form shows all of it.
    openTheFile();
    return written;
}

void InfoPlistForm::openAsText()
{
    ContentArea *area = ContentArea::of(this);
    if (!area)
        return;
    auto *text = new TextEditorView;
    text->setViewIdentifier(viewIdentifier());
    area->close(this);
    area->add(text);
    text->openTheFile();
}
