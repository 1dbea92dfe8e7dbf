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

// Comments and strings are matched so that what they hold is passed over.
const QRegularExpression &scriptToken()
{
    static const QRegularExpression token(
        QStringLiteral(R"re(//[^\n]*|/\*.*?(?:\*/|\z)|"(?:[^"\\\n]|\\.)*"|'(?:[^'\\\n]|\\.)*')re"
                       R"re(|\b(widget\s*\.\s*system)\b|\b(XMLHttpRequest)\b|(?<![\w$.])(fetch)\s*\()re"),
        QRegularExpression::DotMatchesEverythingOption);
    return token;
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
    void refer(const QString &target, qsizetype offset, SourceScan::Kind kind)
    {
        result.references.append({target, lineAt(offset), kind});
    }
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
        name == u"script" ? script(at, end) : style(at, end);
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
    if (name == u"script")
        referBy(QStringLiteral("src"), SourceScan::Kind::Script);
    else if (name == u"img")
        referBy(QStringLiteral("src"), SourceScan::Kind::Other);
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
        const auto [name, start] = firstCaptured(token, 1, 3);
        if (start < 0)
            continue;
        const SourceScan::Call call =
            token.capturedStart(1) >= 0 ? SourceScan::Call::System : SourceScan::Call::Network;
        const bool known = std::any_of(result.uses.cbegin(), result.uses.cend(),
                                       [call](const SourceScan::Use &use) { return use.call == call; });
        if (!known)
            result.uses.append({call, lineAt(from + start)});
    }
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
    return scanner.result;
}
