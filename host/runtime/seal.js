// SPDX-License-Identifier: GPL-2.0-or-later
// Runs first in every frame of every widget page. It takes away what lets
// a page reach other hosts past the runtime's checks: peer connections,
// which the engine opens for any page alike, whatever the widget's keys
// (none of the era's widgets had them to use). A new frame's first, empty
// document gets no script of its own, so its parent seals it before any
// script of the page can reach it: as a script inserts it, as
// document.write returns, or before the parser runs the next script of
// the page. A window opened by script is never handed to it. Everything
// used here is taken before the page could replace it.
(function (window) {
    'use strict';
    var apply = Reflect.apply;
    var describe = Object.getOwnPropertyDescriptor;
    var Frames = 'iframe, frame, object, embed';
    var matches = Element.prototype.matches;
    var query = Element.prototype.querySelectorAll;
    var item = NodeList.prototype.item;
    var listen = EventTarget.prototype.addEventListener;
    var observe = MutationObserver.prototype.observe;
    var warn = console.warn.bind(console);
    var test = RegExp.prototype.test;
    var NoWindowOfItsOwn = /^\s*(about:|javascript:|$)/i;

    function getter(prototype, name) {
        var get = describe(prototype, name).get;
        return function (object) { return apply(get, object, []); };
    }
    var nodeType = getter(Node.prototype, 'nodeType');
    var count = getter(NodeList.prototype, 'length');
    var documentElement = getter(Document.prototype, 'documentElement');
    var target = getter(Event.prototype, 'target');
    var addedNodes = getter(MutationRecord.prototype, 'addedNodes');
    var contentWindow = Object.create(null);
    contentWindow.IFRAME = getter(HTMLIFrameElement.prototype, 'contentWindow');
    contentWindow.FRAME = getter(HTMLFrameElement.prototype, 'contentWindow');
    contentWindow.OBJECT = getter(HTMLObjectElement.prototype, 'contentWindow');
    var tagName = getter(Element.prototype, 'tagName');

    function sealFrame(element) {
        var get = contentWindow[tagName(element)];
        try {
            var inner = get && get(element);
            if (inner)
                seal(inner);
        } catch (error) {
            // Another origin's frame: the page cannot reach into it either.
        }
    }

    function sealFramesIn(node) {
        if (!node || nodeType(node) !== 1)
            return;
        if (apply(matches, node, [Frames]))
            sealFrame(node);
        var inside = apply(query, node, [Frames]);
        for (var i = 0, n = count(inside); i < n; ++i)
            sealFrame(apply(item, inside, [i]));
    }

    // Calls `original` on, then seals the frames of the document.
    function sealingAfter(original) {
        return function () {
            var result = apply(original, this, arguments);
            sealFramesIn(documentElement(this));
            return result;
        };
    }

    function seal(frame) {
        delete frame.RTCPeerConnection;
        delete frame.webkitRTCPeerConnection;
        var open = frame.open;
        frame.open = function (address) {
            // A window with no address of its own would be the page's to
            // write into, and the engine stalls the page making one.
            if (apply(test, NoWindowOfItsOwn, [address === undefined ? '' : String(address)]))
                warn('a window of the page\'s own was not opened: a widget has no windows');
            else
                apply(open, this, arguments);
            return null;
        };
        var prototype = frame.Document.prototype;
        prototype.write = sealingAfter(prototype.write);
        prototype.writeln = sealingAfter(prototype.writeln);
        // Sent as a script inserts a node, once its frames exist.
        apply(listen, frame, ['DOMNodeInserted', function (event) { sealFramesIn(target(event)); }, true]);
        // Told before the parser runs a script of the page.
        apply(observe, new frame.MutationObserver(function (records) {
            for (var i = 0; i < records.length; ++i) {
                var added = addedNodes(records[i]);
                for (var j = 0, n = count(added); j < n; ++j)
                    sealFramesIn(apply(item, added, [j]));
            }
        }), [frame.document, {childList: true, subtree: true}]);
    }

    seal(window);
})(window);
