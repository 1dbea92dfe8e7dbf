// SPDX-License-Identifier: GPL-2.0-or-later
// Runs first in every frame of every widget page. It takes away what lets
// a page reach other hosts past the runtime's checks: peer connections,
// which the engine opens for any page alike, whatever the widget's keys
// (none of the era's widgets had them to use). A new frame's first, empty
// document gets no script of its own, so its parent seals it before any
// script of the page can reach it: as a script inserts it, as
// document.write returns, or before the parser runs the next script of
// the page. A window opened by script is never handed to it. What the page
// could replace is taken first.
(function (window) {
    'use strict';
    var Frames = 'iframe, frame, object, embed';
    var matches = Element.prototype.matches;
    var query = Element.prototype.querySelectorAll;
    var count = Object.getOwnPropertyDescriptor(NodeList.prototype, 'length').get;
    var item = NodeList.prototype.item;
    var listen = EventTarget.prototype.addEventListener;
    var observe = MutationObserver.prototype.observe;
    var warn = console.warn.bind(console);
    var contentWindow = {
        IFRAME: Object.getOwnPropertyDescriptor(HTMLIFrameElement.prototype, 'contentWindow').get,
        FRAME: Object.getOwnPropertyDescriptor(HTMLFrameElement.prototype, 'contentWindow').get,
        OBJECT: Object.getOwnPropertyDescriptor(HTMLObjectElement.prototype, 'contentWindow').get,
    };

    function sealFrame(element) {
        var get = contentWindow[element.tagName];
        try {
            var inner = get && get.call(element);
            if (inner)
                seal(inner);
        } catch (error) {
            // Another origin's frame: the page cannot reach into it either.
        }
    }

    function sealFramesIn(node) {
        if (node.nodeType !== Node.ELEMENT_NODE)
            return;
        if (matches.call(node, Frames))
            sealFrame(node);
        var inside = query.call(node, Frames);
        for (var i = 0, n = count.call(inside); i < n; ++i)
            sealFrame(item.call(inside, i));
    }

    // Calls `original` on, then seals the frames of the document.
    function sealingAfter(original) {
        return function () {
            var result = original.apply(this, arguments);
            sealFramesIn(this.documentElement || this);
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
            if (/^\s*(about:|javascript:|$)/i.test(address === undefined ? '' : String(address)))
                warn('a window of the page\'s own was not opened: a widget has no windows');
            else
                open.apply(this, arguments);
            return null;
        };
        var prototype = frame.Document.prototype;
        prototype.write = sealingAfter(prototype.write);
        prototype.writeln = sealingAfter(prototype.writeln);
        // Sent as a script inserts a node, once its frames exist.
        listen.call(frame, 'DOMNodeInserted', function (event) { sealFramesIn(event.target); }, true);
        // Told before the parser runs a script of the page.
        observe.call(new frame.MutationObserver(function (records) {
            for (var i = 0; i < records.length; ++i)
                for (var j = 0; j < records[i].addedNodes.length; ++j)
                    sealFramesIn(records[i].addedNodes[j]);
        }), frame.document, {childList: true, subtree: true});
    }

    seal(window);
})(window);
