// SPDX-License-Identifier: GPL-2.0-or-later
// Makes the page's `widget` object before any script of the page runs.
// QUILLET_CONFIG stands for what the runtime tells every widget page:
// the URL its calls go to and the name of the function events arrive
// through. The first call tells which widget the page belongs to and
// whether it may run shell commands.
(function (config) {
    'use strict';

    // Taken before the page's own scripts could replace them.
    var Request = window.XMLHttpRequest;
    var open = Request.prototype.open;
    var send = Request.prototype.send;
    var stringify = JSON.stringify;
    var parse = JSON.parse;
    var encode = window.encodeURIComponent;
    var later = window.setTimeout;
    var nextFrame = window.requestAnimationFrame;

    // Each call waits for its answer: that is how the calls that return
    // something can return it, and how all calls keep their order.
    function call(name, args) {
        var request = new Request();
        open.call(request, 'GET', config.calls + name + '?' + encode(stringify(args || {})), false);
        try {
            send.call(request);
        } catch (error) {
            return undefined;
        }
        return request.status === 200 ? parse(request.responseText) : undefined;
    }

    // A handler's error is the page's: it is thrown again on its own, so
    // that it shows in the console without stopping the runtime.
    function handle(handler, args) {
        if (typeof handler !== 'function')
            return;
        try {
            handler.apply(widget, args || []);
        } catch (error) {
            later(function () { throw error; }, 0);
        }
    }

    function resolved(url) {
        try {
            return new URL(String(url), document.baseURI).href;
        } catch (error) {
            return String(url);
        }
    }

    // Strings, numbers and booleans are kept as they are, anything else as
    // its string; null and undefined remove the preference.
    function storable(value) {
        if (value === null || value === undefined)
            return null;
        var type = typeof value;
        return type === 'string' || type === 'boolean' || (type === 'number' && isFinite(value))
            ? value : String(value);
    }

    var facts = call('reset') || {};
    var commands = {};

    function commandEvent(event) {
        var running = commands[event.command];
        if (!running)
            return;
        var object = running.object;
        if (event.output !== undefined) {
            object.outputString += event.output;
            handle(object.onreadoutput, [event.output]);
        }
        if (event.error !== undefined) {
            object.errorString += event.error;
            handle(object.onreaderror, [event.error]);
        }
        if (event.result) {
            delete commands[event.command];
            object.outputString = event.result.outputString;
            object.errorString = event.result.errorString;
            object.status = event.result.status;
            handle(running.handler, [object]);
        }
    }

    // Configurable, so that a document that inherits this window can have
    // its own.
    Object.defineProperty(window, config.dispatcher, {
        configurable: true,
        value: function (event) {
            if (event.event === 'remove')
                handle(widget.onremove);
            else
                commandEvent(event);
            return true;
        }
    });

    // Without a handler the page waits for the command's end; with one it
    // goes on, and the handler gets the command object once it ended.
    function system(command, handler) {
        if (typeof handler !== 'function')
            return call('system', { command: String(command) })
                || { status: -1 };
        var started = call('system', { command: String(command), watched: true });
        var id = started ? started.command : 0;
        var object = {
            outputString: '',
            errorString: '',
            status: undefined,
            onreadoutput: null,
            onreaderror: null,
            write: function (text) { call('write', { command: id, text: String(text) }); },
            close: function () { call('close', { command: id }); },
            cancel: function () {
                delete commands[id];
                call('cancel', { command: id });
            }
        };
        if (started)
            commands[id] = { object: object, handler: handler };
        return object;
    }

    var widget = {
        identifier: facts.identifier,
        onshow: null,
        onhide: null,
        onremove: null,
        preferenceForKey: function (key) {
            var answer = call('preferenceForKey', { key: String(key) });
            return answer ? answer.value : undefined;
        },
        setPreferenceForKey: function (value, key) {
            call('setPreferenceForKey', { key: String(key), value: storable(value) });
        },
        openURL: function (url) { call('openURL', { url: resolved(url) }); },
        openApplication: function (identifier) {
            call('openApplication', { identifier: String(identifier) });
        },
        setCloseBoxOffset: function (x, y) {
            call('setCloseBoxOffset', { x: Math.round(Number(x)) || 0, y: Math.round(Number(y)) || 0 });
        },
        prepareForTransition: function (direction) {
            call('prepareForTransition', { direction: String(direction) });
        },
        // Asked for once a frame showing the new side has been made.
        performTransition: function () {
            nextFrame(function () {
                nextFrame(function () { call('performTransition'); });
            });
        }
    };
    if (facts.system)
        widget.system = system;

    // A widget sizes its own window; the engine would only let pop-ups do it.
    window.resizeTo = function (width, height) {
        call('resizeTo', { width: Math.round(Number(width)) || 0, height: Math.round(Number(height)) || 0 });
    };
    window.resizeBy = function (x, y) {
        window.resizeTo(window.innerWidth + Number(x), window.innerHeight + Number(y));
    };

    document.addEventListener('visibilitychange', function () {
        handle(document.visibilityState === 'visible' ? widget.onshow : widget.onhide);
    });

    // An element whose script listens for presses is a control of the page's
    // own (a slider's track): a press there is not the start of dragging the
    // window. The page as a whole listening is no such sign.
    var listen = EventTarget.prototype.addEventListener;
    var pressHandled = Symbol.for('quillet.pressHandled');
    EventTarget.prototype.addEventListener = function (type, listener, options) {
        if (/^(mousedown|pointerdown|touchstart|click)$/.test(type) && this instanceof Element
            && this !== document.documentElement && this !== document.body)
            this[pressHandled] = true;
        return listen.apply(this, arguments);
    };

    window.widget = widget;
})(QUILLET_CONFIG);
