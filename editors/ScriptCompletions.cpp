// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ScriptCompletions.h"

#include "platform/FileManager.h"
#include "platform/FileStamp.h"

#include <Qsci/qsciapis.h>
#include <Qsci/qscilexer.h>

#include <QDirIterator>
#include <QFile>
#include <QFutureWatcher>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>
#include <QtConcurrent>

namespace {

// The widget's scripts are read for names up to this much each, and this
// many in all: enough for any widget, bounded for anything else.
constexpr qint64 LargestScript = qint64(2) << 20;
constexpr int MostScripts = 500;

const QString Name = QStringLiteral(R"([A-Za-z_$][\w$]*)");

// "a,\n   b" as "a, b".
QString arguments(const QString &list)
{
    return list.simplified();
}

// `function name(…)`, `var name = function (…)`, `Owner.prototype.method =
// function (…)`, `object.member = function (…)`, and a variable declared
// at the start of a line, which is how scripts write their global ones.
void addDeclarations(const QString &script, QSet<QString> &names)
{
    static const QRegularExpression declaration(
        QStringLiteral(R"re(\bfunction\s+(%1)\s*\(([^)]*)\))re"
                       R"re(|\b(?:var|let|const)\s+(%1)\s*=\s*function\s*\(([^)]*)\))re"
                       R"re(|\b%1\.prototype\.(%1)\s*=\s*function\s*\(([^)]*)\))re"
                       R"re(|\b(%1\.%1)\s*=\s*function\s*\(([^)]*)\))re"
                       R"re(|^(?:var|let|const)\s+(%1)\s*=)re")
            .arg(Name),
        QRegularExpression::MultilineOption);
    QRegularExpressionMatchIterator matches = declaration.globalMatch(script);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        for (int group = 1; group <= 7; group += 2) {
            if (match.capturedStart(group) >= 0)
                names.insert(match.captured(group) + u'(' + arguments(match.captured(group + 1)) + u')');
        }
        if (match.capturedStart(9) >= 0)
            names.insert(match.captured(9));
    }
}

// The members an object literal assigned to a variable is written with:
// `var widget = { openURL: function (url) { … }, onshow: null }` gives
// "widget.openURL(url)" and "widget.onshow"; members of members are not
// the object's.
void addObjectMembers(const QString &script, QSet<QString> &names)
{
    static const QRegularExpression literal(QStringLiteral(R"re(\b(?:var|let|const)\s+(%1)\s*=\s*\{)re").arg(Name));
    static const QRegularExpression member(
        QStringLiteral(R"re(^\s*(%1)\s*:\s*(?:function\s*\(([^)]*)\))?)re").arg(Name));
    QRegularExpressionMatchIterator objects = literal.globalMatch(script);
    while (objects.hasNext()) {
        const QRegularExpressionMatch object = objects.next();
        // Each member starts after a comma or a line's end outside brackets.
        int depth = 0;
        qsizetype start = object.capturedEnd();
        for (qsizetype at = start; at < script.size() && depth >= 0; ++at) {
            const QChar c = script.at(at);
            depth += (c == u'{' || c == u'(' || c == u'[') ? 1 : (c == u'}' || c == u')' || c == u']') ? -1 : 0;
            if (depth != 0 || (c != u'\n' && c != u','))
                continue;
            const QRegularExpressionMatch found = member.match(QStringView(script).sliced(start, at - start));
            if (found.hasMatch())
                names.insert(object.captured(1) + u'.' + found.captured(1)
                             + (found.capturedStart(2) >= 0 ? u'(' + arguments(found.captured(2)) + u')' : QString()));
            start = at + 1;
        }
    }
}

// `widget.system = system;`: the member takes the function's arguments.
void addAssignedFunctions(const QString &script, QSet<QString> &names)
{
    static const QRegularExpression assigned(QStringLiteral(R"re(\b(%1\.%1)\s*=\s*(%1)\s*;)re").arg(Name));
    QRegularExpressionMatchIterator matches = assigned.globalMatch(script);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const QRegularExpression function(
            QStringLiteral(R"re(\bfunction\s+%1\s*\(([^)]*)\))re").arg(QRegularExpression::escape(match.captured(2))));
        const QRegularExpressionMatch declared = function.match(script);
        if (declared.hasMatch())
            names.insert(match.captured(1) + u'(' + arguments(declared.captured(1)) + u')');
    }
}

QStringList sorted(const QSet<QString> &names)
{
    QStringList list(names.cbegin(), names.cend());
    list.sort();
    return list;
}

// A script's names, as of the time its file was last changed: every editor
// of a widget asks for its scripts' names, and most are the same each time.
struct ReadScript
{
    FileStamp stamp;
    QStringList names;
};

QStringList namesOfScript(const QString &path)
{
    static QMutex lock;
    static QHash<QString, ReadScript> read;
    const FileStamp stamp = FileStamp::of(path);
    {
        const QMutexLocker locked(&lock);
        const auto known = read.constFind(path);
        if (known != read.cend() && known->stamp == stamp)
            return known->names;
    }
    QByteArray bytes;
    if (!FileManager::readFile(path, &bytes, LargestScript))
        return {};
    const QStringList names = ScriptCompletions::definedIn(QString::fromUtf8(bytes));
    const QMutexLocker locked(&lock);
    read.insert(path, {stamp, names});
    return names;
}

QStringList namesInBundle(const QString &bundlePath)
{
    QSet<QString> names;
    if (bundlePath.isEmpty())
        return {};
    QDirIterator scripts(bundlePath, {QStringLiteral("*.js")}, QDir::Files, QDirIterator::Subdirectories);
    for (int count = 0; scripts.hasNext() && count < MostScripts; ++count) {
        // A link out of the widget is none of its scripts.
        const QString path = scripts.next();
        if (FileManager::leadsOutside(bundlePath, path))
            continue;
        const QStringList defined = namesOfScript(path);
        names.unite(QSet<QString>(defined.cbegin(), defined.cend()));
    }
    return sorted(names);
}

} // namespace

QStringList ScriptCompletions::definedIn(const QString &script)
{
    QSet<QString> names;
    addDeclarations(script, names);
    addObjectMembers(script, names);
    addAssignedFunctions(script, names);
    return sorted(names);
}

const QStringList &ScriptCompletions::runtimeNames()
{
    static const QStringList names = [] {
        QSet<QString> all;
        QDirIterator scripts(QStringLiteral(":/completion"), QDirIterator::Subdirectories);
        while (scripts.hasNext()) {
            QFile script(scripts.next());
            if (!script.open(QIODevice::ReadOnly))
                continue;
            const QString path = script.fileName();
            const QStringList defined = definedIn(QString::fromUtf8(script.readAll()));
            // What the widget script defines inside itself is its own; the
            // page sees the widget object alone.
            for (const QString &name : defined) {
                if (!path.endsWith(u"/widget.js") || name.startsWith(u"widget."))
                    all.insert(name);
            }
        }
        return sorted(all);
    }();
    return names;
}

void ScriptCompletions::detach(QsciLexer *lexer)
{
    if (lexer)
        delete lexer->apis();
}

// The widget's scripts are read on another thread, so that opening a file
// of a large widget waits for none of them; the list is indexed on another
// thread again, once they are.
void ScriptCompletions::attach(QsciLexer *lexer, const QString &bundlePath)
{
    detach(lexer);
    auto *apis = new QsciAPIs(lexer);
    auto *reading = new QFutureWatcher<QStringList>(apis);
    QObject::connect(reading, &QFutureWatcher<QStringList>::finished, apis, [apis, reading] {
        // The list scopes names by the lexer's first word separator ("::"
        // for the languages of C's family, JavaScript among them), whatever
        // separator the text uses.
        const QString scope = apis->lexer()->autoCompletionWordSeparators().value(0, QStringLiteral("."));
        for (QString name : runtimeNames() + reading->result()) {
            const qsizetype arguments = name.indexOf(u'(');
            apis->add(name.left(arguments).replace(u'.', scope) + (arguments < 0 ? QString() : name.mid(arguments)));
        }
        apis->prepare();
    });
    reading->setFuture(QtConcurrent::run(namesInBundle, bundlePath));
}
