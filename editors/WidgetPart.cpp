// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/WidgetPart.h"

#include <QCoreApplication>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QByteArray SharedResources = "/System/Library/WidgetResources/";

QString tr(const char *text)
{
    return QCoreApplication::translate("WidgetPart", text);
}

// The two sides of a widget, each shown while the other is hidden, turned
// with the transition the runtime draws.
const QByteArray Flip = R"(
<div id="${front}" style="position: relative; height: 100px;">
    <div id="${info}" style="position: absolute; right: 10px; bottom: 10px; width: 13px; height: 13px;"></div>
</div>
<div id="${back}" style="display: none; position: relative; height: 100px;">
    <div id="${done}" style="position: absolute; right: 10px; bottom: 10px;"></div>
</div>
<script type="text/javascript">
function ${turn}(from, to, direction) {
    if (window.widget)
        widget.prepareForTransition(direction);
    document.getElementById(from).style.display = 'none';
    document.getElementById(to).style.display = 'block';
    if (window.widget)
        setTimeout(function () { widget.performTransition(); }, 0);
}
new AppleInfoButton(document.getElementById('${info}'), document.getElementById('${front}'), 'white', 'white',
                    function () { ${turn}('${front}', '${back}', 'ToBack'); });
new AppleGlassButton(document.getElementById('${done}'), 'Done',
                     function () { ${turn}('${back}', '${front}', 'ToFront'); });
</script>
)";

WidgetPart slider(bool vertical)
{
    QByteArray markup = R"(
<div id="${%1}" style="width: %2px; height: %3px;"></div>
<script type="text/javascript">
var ${%1} = new %4(document.getElementById('${%1}'), function (value) {
    // value runs from 0 at the %5 to 1 at the %6.
});
</script>
)";
    const QByteArray id = vertical ? "verticalSlider" : "slider";
    const QByteArrayList fields = vertical ? QByteArrayList{id, "22", "120", "AppleVerticalSlider", "top", "bottom"}
                                           : QByteArrayList{id, "120", "22", "AppleHorizontalSlider", "left", "right"};
    for (qsizetype field = fields.size(); field > 0; --field)
        markup.replace('%' + QByteArray::number(field), fields.at(field - 1));
    return {vertical ? tr("Vertical Slider") : tr("Horizontal Slider"),
            {u"AppleClasses/AppleSlider.js"_s},
            {QString::fromLatin1(id)},
            markup};
}

QList<WidgetPart> makeLibrary()
{
    return {
        {tr("Push Button"), {u"button/genericButton.js"_s}, {u"button"_s}, R"(
<div id="${button}"></div>
<script type="text/javascript">
createGenericButton(document.getElementById('${button}'), 'Button', function (event) {
    // What the button does.
});
</script>
)"},
        {tr("Glass Button"), {u"AppleClasses/AppleButton.js"_s}, {u"glassButton"_s}, R"(
<div id="${glassButton}" style="width: 80px;"></div>
<script type="text/javascript">
var ${glassButton} = new AppleGlassButton(document.getElementById('${glassButton}'), 'OK', function (event) {
    // What the button does.
});
</script>
)"},
        {tr("Info Button and Back"),
         {u"AppleClasses/AppleInfoButton.js"_s, u"AppleClasses/AppleButton.js"_s},
         {u"front"_s, u"back"_s, u"info"_s, u"done"_s, u"turn"_s},
         Flip},
        slider(false),
        slider(true),
        {tr("Scroll Area"),
         {u"AppleClasses/AppleScrollbar.js"_s, u"AppleClasses/AppleScrollArea.js"_s},
         {u"scrollArea"_s, u"scrollContent"_s, u"scrollBar"_s},
         R"(
<div id="${scrollArea}" style="position: relative; width: 200px; height: 100px;">
    <div id="${scrollContent}" style="position: absolute; left: 0; top: 0; right: 19px; bottom: 0;">
        <p>Text longer than the area scrolls with the wheel, the keys and the bar.</p>
        <p>One</p>
        <p>Two</p>
        <p>Three</p>
    </div>
    <div id="${scrollBar}" style="position: absolute; top: 0; right: 0; bottom: 0; width: 19px;"></div>
</div>
<script type="text/javascript">
var ${scrollArea} = new AppleScrollArea(document.getElementById('${scrollContent}'),
                                        new AppleVerticalScrollbar(document.getElementById('${scrollBar}')));
</script>
)"},
    };
}

// The first suffix ("", "2", "3" …) that makes every id new to the page.
QByteArray uniqueSuffix(const QByteArray &page, const QStringList &ids)
{
    for (int number = 1;; ++number) {
        const QByteArray suffix = number == 1 ? QByteArray() : QByteArray::number(number);
        const bool taken = std::any_of(ids.cbegin(), ids.cend(), [&](const QString &id) {
            const QByteArray name = id.toUtf8() + suffix;
            return page.contains("id=\"" + name + '"') || page.contains("id='" + name + '\'')
                || page.contains("function " + name + '(') || page.contains("var " + name + ' ');
        });
        if (!taken)
            return suffix;
    }
}

} // namespace

const QList<WidgetPart> &WidgetPart::library()
{
    static const QList<WidgetPart> parts = makeLibrary();
    return parts;
}

WidgetPart::Insertion WidgetPart::insertionInto(const QByteArray &page, qsizetype caret) const
{
    Insertion insertion;
    for (const QString &script : scripts) {
        const QByteArray path = SharedResources + script.toUtf8();
        if (!page.contains(path))
            insertion.head += "<script type=\"text/javascript\" src=\"" + path + "\"></script>\n";
    }
    QByteArray markup = this->markup;
    const QByteArray suffix = uniqueSuffix(page, ids);
    for (const QString &id : ids)
        markup.replace("${" + id.toUtf8() + '}', id.toUtf8() + suffix);
    insertion.markup = markup;

    // Tags in any letter case.
    const QByteArray lower = page.toLower();
    const qsizetype bodyStart = lower.indexOf("<body");
    const qsizetype bodyOpened = bodyStart < 0 ? -1 : page.indexOf('>', bodyStart);
    const qsizetype bodyEnd = lower.indexOf("</body");
    const bool inBody = bodyOpened >= 0 && caret > bodyOpened && (bodyEnd < 0 || caret <= bodyEnd);
    insertion.markupAt = inBody ? caret : bodyEnd >= 0 ? bodyEnd : page.size();
    const qsizetype headEnd = lower.indexOf("</head");
    insertion.headAt = headEnd >= 0 && headEnd <= insertion.markupAt ? headEnd : insertion.markupAt;
    return insertion;
}
