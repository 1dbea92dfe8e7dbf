// SPDX-License-Identifier: GPL-2.0-or-later
#include "check/SourceScan.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr auto Lenient = QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption;

// A comment, or a tag with its attributes: quoted values may hold ">".
const QRegularExpression &markupToken()
{
    static const QRegularExpression token(
        QStringLiteral(R"re(<!--.*?(?:-->|\z)|<([a-zA-Z][\w:-]*)((?:[^>"']|"[^"]*"|'[^']*')*)>)re"), Lenient);
    return token;
}

const QRegularExpression &attribute()
{
    static const QRegularExpression pair(
        QStringLiteral(R"re(([^\s=/"'<>]+)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'=<>`]+)))re"));
    return pair;
}

// A comment, or url() (an @import when group 1 is there), or an @import
// of a quoted name.
const QRegularExpression &styleToken()
{
    static const QRegularExpression token(
        QStringLiteral(
            R"re(/\*.*?(?:\*/|\z)|(@import\s+)?url\(\s*(?:"([^"]*)"|'([^']*)'|([^)\s]*))\s*\)|@import\s+(?:"([^"]*)"|'([^']*)'))re"),
        Lenient);
    return token;
}

// Comments are matched so that what they hold is passed over; strings (in
// group 1 or 2), for the files they name and so that no call is seen in
// them. widget.system (3) is followed by its command when that is written
// out (4 or 5); then the network's calls (6, 7).
const QRegularExpression &scriptToken()
{
    static const QRegularExpression token(
        QStringLiteral(R"re(//[^\n]*|/\*.*?(?:\*/|\z)|"((?:[^"\\\n]|\\.)*)"|'((?:[^'\\\n]|\\.)*)')re"
                       R"re(|\b(widget\s*\.\s*system)\b(?:\s*\(\s*(?:"((?:[^"\\\n]|\\.)*)"|'((?:[^'\\\n]|\\.)*)'))?)re"
                       R"re(|\b(XMLHttpRequest)\b|(?<![\w$.])(fetch)\s*\()re"),
        QRegularExpression::DotMatchesEverythingOption);
    return token;
}

// A file of the widget named in a script's string: a relative path ending
// in the extension of a kind of file widgets hold.
const QRegularExpression &filePath()
{
    static const QRegularExpression path(
        QStringLiteral(
            R"re(^(?:\./)?[\w@%~()-][\w@%~ .()-]*(?:/[\w@%~ .()-]+)*)re"
            R"re(\.(js|css|html?|png|jpe?g|gif|svg|tiff?|bmp|ico|mp3|m4a|aiff?|wav|mov|mp4|ttf|otf|json|xml|plist)$)re"),
        QRegularExpression::CaseInsensitiveOption);
    return path;
}

// The start of a path a script builds: folders, then maybe the start of a name.
const QRegularExpression &pathStart()
{
    static const QRegularExpression start(QStringLiteral(R"re(^((?:[\w@%~()-][\w@%~ .()-]*/)+)[\w@%~ .()-]*$)re"));
    return start;
}

// Markup written by a script that stops where the path is filled in at run
// time: '<script src="Parts/core/' + name.
const QRegularExpression &attributeLeftOpen()
{
    static const QRegularExpression open(QStringLiteral(R"re(\b(?:src|href|data)\s*=\s*["']?([^"'<>\s]*)$)re"),
                                         QRegularExpression::CaseInsensitiveOption);
    return open;
}

SourceScan::Kind kindOfFile(const QString &path)
{
    if (path.endsWith(QStringLiteral(".js"), Qt::CaseInsensitive))
        return SourceScan::Kind::Script;
    if (path.endsWith(QStringLiteral(".css"), Qt::CaseInsensitive))
        return SourceScan::Kind::StyleSheet;
    return SourceScan::Kind::Other;
}

// What a quoted string holds, its escapes undone as far as paths need.
QString unescaped(QString text)
{
    static const QRegularExpression escape(QStringLiteral(R"re(\\(.))re"));
    return text.replace(escape, QStringLiteral("\\1"));
}

// The programs a shell command line runs: the first word of each command of
// its pipes and lists.
QStringList programsOf(const QString &commandLine)
{
    static const QRegularExpression separator(QStringLiteral(R"re(\|\||&&|[|;&`]|\$\()re"));
    QStringList programs;
    for (const QString &command : commandLine.split(separator)) {
        const QString program = command.trimmed().section(u' ', 0, 0);
        if (!program.isEmpty() && !program.contains(u'='))
            programs.append(program);
    }
    return programs;
}

// The first of the groups that matched, with its place in the subject.
std::pair<QString, qsizetype> firstCaptured(const QRegularExpressionMatch &match, int from, int to)
{
    for (int group = from; group <= to; ++group) {
        if (match.capturedStart(group) >= 0)
            return {match.captured(group), match.capturedStart(group)};
    }
    return {QString(), -1};
}

class Scanner
{
public:
    explicit Scanner(const QString &text)
        : m_text(text)
    {
        m_lineStarts.append(0);
        for (qsizetype at = text.indexOf(u'\n'); at >= 0; at = text.indexOf(u'\n', at + 1))
            m_lineStarts.append(at + 1);
    }

    void page();
    void style(qsizetype from, qsizetype to);
    void script(qsizetype from, qsizetype to);

    SourceScan result;

private:
    void tag(const QString &name, qsizetype from, qsizetype to);
    void refer(const QString &target, qsizetype offset, SourceScan::Kind kind,
               SourceScan::Origin origin = SourceScan::Origin::Markup)
    {
        result.references.append({target, lineAt(offset), kind, origin});
    }
    void string(const QString &text, qsizetype from, qsizetype to);
    void run(const QString &commandLine, qsizetype offset);
    void use(SourceScan::Call call, qsizetype offset);
    /// The character next to [from, to) on either side, past white space.
    QChar before(qsizetype from) const;
    QChar after(qsizetype to) const;
    int lineAt(qsizetype offset) const
    {
        return int(std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset) - m_lineStarts.begin());
    }

    const QString &m_text;
    QList<qsizetype> m_lineStarts;
};

void Scanner::page()
{
    qsizetype at = 0;
    QRegularExpressionMatch match;
    while ((match = markupToken().match(m_text, at)).hasMatch()) {
        at = match.capturedEnd();
        const QString name = match.captured(1).toLower();
        if (name.isEmpty())
            continue; // a comment
        const bool empty = match.captured(2).endsWith(u'/');
        tag(name, match.capturedStart(2), match.capturedEnd(2) - (empty ? 1 : 0));
        if ((name != u"script" && name != u"style") || empty)
            continue;
        // Raw text: nothing in it is a tag.
        qsizetype end = m_text.indexOf(QStringLiteral("</") + name, at, Qt::CaseInsensitive);
        end = end < 0 ? m_text.size() : end;
        if (name == u"style") {
            style(at, end);
        } else {
            script(at, end);
            result.scripts.append({m_text.sliced(at, end - at), lineAt(at)});
        }
        at = end;
    }
}

void Scanner::tag(const QString &name, qsizetype from, qsizetype to)
{
    QHash<QString, std::pair<QString, qsizetype>> values;
    QRegularExpressionMatchIterator pairs = attribute().globalMatch(QStringView(m_text).sliced(from, to - from));
    while (pairs.hasNext()) {
        const QRegularExpressionMatch pair = pairs.next();
        auto [value, start] = firstCaptured(pair, 2, 4);
        start += from;
        const QString key = pair.captured(1).toLower();
        if (key == u"style")
            style(start, start + value.size());
        else if (key.startsWith(u"on"))
            script(start, start + value.size());
        values.insert(key, {value.replace(QStringLiteral("&amp;"), QStringLiteral("&")), start});
    }
    const auto referBy = [&](const QString &key, SourceScan::Kind kind) {
        if (values.contains(key))
            refer(values[key].first, values[key].second, kind);
    };
    static const QStringList mediaTags{QStringLiteral("img"), QStringLiteral("embed"), QStringLiteral("audio"),
                                       QStringLiteral("video"), QStringLiteral("source")};
    if (name == u"script")
        referBy(QStringLiteral("src"), SourceScan::Kind::Script);
    else if (name == u"iframe")
        referBy(QStringLiteral("src"), SourceScan::Kind::Page);
    else if (mediaTags.contains(name))
        referBy(QStringLiteral("src"), SourceScan::Kind::Other);
    else if (name == u"input" && values.value(QStringLiteral("type")).first.compare(u"image", Qt::CaseInsensitive) == 0)
        referBy(QStringLiteral("src"), SourceScan::Kind::Other);
    else if (name == u"object")
        referBy(QStringLiteral("data"), SourceScan::Kind::Other);
    else if (name == u"body")
        referBy(QStringLiteral("background"), SourceScan::Kind::Other);
    if (name == u"video")
        referBy(QStringLiteral("poster"), SourceScan::Kind::Other);
    else if (name == u"link")
        referBy(QStringLiteral("href"),
                values.value(QStringLiteral("rel")).first.contains(u"stylesheet", Qt::CaseInsensitive)
                    ? SourceScan::Kind::StyleSheet
                    : SourceScan::Kind::Other);
}

void Scanner::style(qsizetype from, qsizetype to)
{
    QRegularExpressionMatchIterator tokens = styleToken().globalMatch(QStringView(m_text).sliced(from, to - from));
    while (tokens.hasNext()) {
        const QRegularExpressionMatch token = tokens.next();
        const bool imported = token.capturedStart(1) >= 0 || token.capturedStart(5) >= 0 || token.capturedStart(6) >= 0;
        const auto [target, start] = firstCaptured(token, 2, 6);
        if (start >= 0)
            refer(target, from + start, imported ? SourceScan::Kind::StyleSheet : SourceScan::Kind::Other);
    }
}

void Scanner::script(qsizetype from, qsizetype to)
{
    QRegularExpressionMatchIterator tokens = scriptToken().globalMatch(QStringView(m_text).sliced(from, to - from));
    while (tokens.hasNext()) {
        const QRegularExpressionMatch token = tokens.next();
        const qsizetype start = from + token.capturedStart();
        if (const auto [text, at] = firstCaptured(token, 1, 2); at >= 0) {
            string(unescaped(text), start, from + token.capturedEnd());
        } else if (token.capturedStart(3) >= 0) {
            use(SourceScan::Call::System, start);
            if (const auto [command, commandAt] = firstCaptured(token, 4, 5); commandAt >= 0)
                run(unescaped(command), start);
        } else if (token.capturedStart(6) >= 0 || token.capturedStart(7) >= 0) {
            use(SourceScan::Call::Network, start);
        }
    }
}

void Scanner::use(SourceScan::Call call, qsizetype offset)
{
    const bool known = std::any_of(result.uses.cbegin(), result.uses.cend(),
                                   [call](const SourceScan::Use &use) { return use.call == call; });
    if (!known)
        result.uses.append({call, lineAt(offset)});
}

void Scanner::run(const QString &commandLine, qsizetype offset)
{
    for (const QString &program : programsOf(commandLine)) {
        const bool known =
            std::any_of(result.commands.cbegin(), result.commands.cend(),
                        [&program](const SourceScan::Command &command) { return command.program == program; });
        if (!known)
            result.commands.append({program, lineAt(offset)});
    }
}

// A string names a file of the widget when it is a whole path, or markup
// naming one; when a path is built on from it ('Images/' + name), the
// folder it names is known at least.
void Scanner::string(const QString &text, qsizetype from, qsizetype to)
{
    const bool continued = after(to) == u'+';
    const bool continuing = before(from) == u'+';
    if (text.contains(QStringLiteral("url("), Qt::CaseInsensitive)) {
        Scanner styles(text);
        styles.style(0, text.size());
        for (const SourceScan::Reference &reference : std::as_const(styles.result.references))
            refer(reference.target, from, reference.kind, SourceScan::Origin::ScriptText);
    }
    if (text.contains(u'<')) {
        Scanner markup(text);
        markup.page();
        for (const SourceScan::Reference &reference : std::as_const(markup.result.references))
            refer(reference.target, from, reference.kind, SourceScan::Origin::ScriptText);
        const QRegularExpressionMatch open = attributeLeftOpen().match(text);
        if (continued && open.hasMatch() && open.captured(1).contains(u'/'))
            refer(open.captured(1).section(u'/', 0, -2), from, SourceScan::Kind::Other,
                  SourceScan::Origin::BuiltAtRunTime);
        return;
    }
    if (continuing)
        return; // the path goes on from what only running tells
    if (!continued && filePath().match(text).hasMatch())
        refer(text, from, kindOfFile(text),
              text.contains(u'/') ? SourceScan::Origin::ScriptText : SourceScan::Origin::NameOnly);
    else if (const QRegularExpressionMatch start = pathStart().match(text); continued && start.hasMatch())
        refer(start.captured(1).chopped(1), from, SourceScan::Kind::Other, SourceScan::Origin::BuiltAtRunTime);
}

QChar Scanner::before(qsizetype from) const
{
    while (from > 0 && m_text.at(from - 1).isSpace())
        --from;
    return from > 0 ? m_text.at(from - 1) : QChar();
}

QChar Scanner::after(qsizetype to) const
{
    while (to < m_text.size() && m_text.at(to).isSpace())
        ++to;
    return to < m_text.size() ? m_text.at(to) : QChar();
}

} // namespace

SourceScan SourceScan::page(const QString &html)
{
    Scanner scanner(html);
    scanner.page();
    return scanner.result;
}

SourceScan SourceScan::styleSheet(const QString &css)
{
    Scanner scanner(css);
    scanner.style(0, css.size());
    return scanner.result;
}

SourceScan SourceScan::script(const QString &javaScript)
{
    Scanner scanner(javaScript);
    scanner.script(0, javaScript.size());
    scanner.result.scripts.append({javaScript, 1});
    return scanner.result;
}
