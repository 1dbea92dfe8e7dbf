// SPDX-License-Identifier: GPL-2.0-or-later
// Scroll bars for an AppleScrollArea. An AppleVerticalScrollbar or
// AppleHorizontalScrollbar fills the element it is given with a track and a
// thumb, each drawn as a start, a stretched middle and an end. The set...
// methods replace the built-in look with the widget's images. Dragging the
// thumb scrolls the area; a press on the track scrolls it by a page. With
// autohide on (the default) the bar hides itself through hide() while the
// whole content fits, and shows itself through show() again; widgets may
// replace those two on AppleScrollbar.prototype.

function AppleScrollbar(scrollbar)
{
    this._build(scrollbar, true);
}

AppleScrollbar.prototype._build = function (scrollbar, vertical)
{
    var self = this;
    this.scrollbar = scrollbar;
    this.scrollarea = null;
    this.autohide = true;
    this.hidden = false;
    this.minThumbSize = 28;
    this.padding = 0;
    this.size = 19;
    this._vertical = vertical;
    this._names = vertical
        ? { start: 'top', end: 'bottom', length: 'height', cross: 'width', client: 'clientY',
            scroll: 'scrollTop', startCorners: ['TopLeft', 'TopRight'],
            endCorners: ['BottomLeft', 'BottomRight'] }
        : { start: 'left', end: 'right', length: 'width', cross: 'height', client: 'clientX',
            scroll: 'scrollLeft', startCorners: ['TopLeft', 'BottomLeft'],
            endCorners: ['TopRight', 'BottomRight'] };

    if (getComputedStyle(scrollbar).position === 'static')
        scrollbar.style.position = 'relative';
    this._track = this._piece(scrollbar, 'rgba(0, 0, 0, 0.1)');
    this._track.element.style.cssText += 'left: 0; top: 0; right: 0; bottom: 0;';
    this._thumb = this._piece(this._track.element, 'rgba(0, 0, 0, 0.45)');
    this._thumb.element.style[this._names.cross] = '100%';

    this._onthumbdown = function (event) { self._startDrag(event); };
    this._ontrackdown = function (event) { self._page(event); };
    this._ondrag = function (event) { self._drag(event); };
    this._ondrop = function () { self._endDrag(); };
    this._onwheel = function (event) { if (self.scrollarea) self.scrollarea._wheel(event); };
    this._thumb.element.addEventListener('mousedown', this._onthumbdown, false);
    this._track.element.addEventListener('mousedown', this._ontrackdown, false);
    scrollbar.addEventListener('wheel', this._onwheel, false);
};

// A track or thumb: an element holding its start, middle and end, drawn in
// `colour` until images are set.
AppleScrollbar.prototype._piece = function (parent, colour)
{
    var names = this._names;
    var piece = { element: document.createElement('div'), colour: colour, startSize: 8,
                  endSize: 8, images: {} };
    piece.element.setAttribute('role', 'scrollbar');
    piece.element.style.cssText = 'position: absolute; cursor: default;';
    ['start', 'middle', 'end'].forEach(function (name) {
        var part = document.createElement('div');
        part.style.cssText = 'position: absolute; left: 0; top: 0; right: 0; bottom: 0;';
        piece[name] = part;
        piece.element.appendChild(part);
    });
    piece.start.style[names.end] = 'auto';
    piece.end.style[names.start] = 'auto';
    parent.appendChild(piece.element);
    this._paint(piece);
    return piece;
};

AppleScrollbar.prototype._paint = function (piece)
{
    var names = this._names;
    var radius = piece.startSize + 'px';
    piece.start.style[names.length] = piece.startSize + 'px';
    piece.end.style[names.length] = piece.endSize + 'px';
    piece.middle.style[names.start] = piece.startSize + 'px';
    piece.middle.style[names.end] = piece.endSize + 'px';
    ['start', 'middle', 'end'].forEach(function (name) {
        var part = piece[name];
        var image = piece.images[name];
        part.style.background = image ? 'url("' + image + '")' : piece.colour;
        part.style.backgroundRepeat = name === 'middle' ? 'repeat' : 'no-repeat';
        part.style.backgroundSize = name === 'middle' ? '' : '100% 100%';
    });
    // The built-in look rounds the ends; images bring their own shape.
    var rounding = piece.images.start || piece.images.end ? '' : radius;
    names.startCorners.forEach(function (corner) {
        piece.start.style['border' + corner + 'Radius'] = rounding;
    });
    names.endCorners.forEach(function (corner) {
        piece.end.style['border' + corner + 'Radius'] = rounding;
    });
};

AppleScrollbar.prototype._setImage = function (piece, name, image, size)
{
    piece.images[name] = image;
    if (size !== undefined && name !== 'middle')
        piece[name + 'Size'] = Number(size);
    this._paint(piece);
    this.refresh();
};

AppleScrollbar.prototype.setSize = function (size)
{
    this.size = Number(size);
    this.scrollbar.style[this._names.cross] = this.size + 'px';
    this.refresh();
};

AppleScrollbar.prototype.setTrackStart = function (image, size) { this._setImage(this._track, 'start', image, size); };
AppleScrollbar.prototype.setTrackMiddle = function (image) { this._setImage(this._track, 'middle', image); };
AppleScrollbar.prototype.setTrackEnd = function (image, size) { this._setImage(this._track, 'end', image, size); };
AppleScrollbar.prototype.setThumbStart = function (image, size) { this._setImage(this._thumb, 'start', image, size); };
AppleScrollbar.prototype.setThumbMiddle = function (image) { this._setImage(this._thumb, 'middle', image); };
AppleScrollbar.prototype.setThumbEnd = function (image, size) { this._setImage(this._thumb, 'end', image, size); };

AppleScrollbar.prototype.setAutohide = function (autohide)
{
    this.autohide = !!autohide;
    if (!this.autohide && this.hidden)
        this.show();
    this.refresh();
};

AppleScrollbar.prototype.hide = function ()
{
    this.scrollbar.style.display = 'none';
    this.hidden = true;
};

AppleScrollbar.prototype.show = function ()
{
    this.scrollbar.style.display = '';
    this.hidden = false;
};

// Hides or shows the bar as the content fits or not, and puts the thumb
// where the area is scrolled to.
AppleScrollbar.prototype.refresh = function ()
{
    var area = this.scrollarea;
    if (!area)
        return;
    var fits = this._content() <= this._view();
    if (this.autohide && fits !== this.hidden) {
        if (fits)
            this.hide();
        else
            this.show();
    }
    this._placeThumb();
};

AppleScrollbar.prototype._view = function ()
{
    return this._vertical ? this.scrollarea.viewHeight : this.scrollarea.viewWidth;
};

AppleScrollbar.prototype._content = function ()
{
    return this._vertical ? this.scrollarea.contentHeight : this.scrollarea.contentWidth;
};

AppleScrollbar.prototype._trackLength = function ()
{
    var names = this._names;
    var length = names.length === 'height' ? this.scrollbar.clientHeight : this.scrollbar.clientWidth;
    return Math.max(0, length - 2 * this.padding);
};

AppleScrollbar.prototype._thumbLength = function ()
{
    var track = this._trackLength();
    var ratio = this._content() > 0 ? Math.min(1, this._view() / this._content()) : 1;
    return Math.min(track, Math.max(this.minThumbSize, Math.round(track * ratio)));
};

AppleScrollbar.prototype._placeThumb = function ()
{
    var names = this._names;
    var room = this._trackLength() - this._thumbLength();
    var range = this._content() - this._view();
    var scrolled = this.scrollarea.content[names.scroll];
    var at = this.padding + (range > 0 ? Math.round(room * scrolled / range) : 0);
    this._thumb.element.style[names.start] = at + 'px';
    this._thumb.element.style[names.length] = this._thumbLength() + 'px';
};

AppleScrollbar.prototype._scrollTo = function (position)
{
    if (this._vertical)
        this.scrollarea.verticalScrollTo(position);
    else
        this.scrollarea.horizontalScrollTo(position);
};

AppleScrollbar.prototype._startDrag = function (event)
{
    if (!this.scrollarea || event.button !== 0)
        return;
    this._dragFrom = { pointer: event[this._names.client],
                       scrolled: this.scrollarea.content[this._names.scroll] };
    document.addEventListener('mousemove', this._ondrag, true);
    document.addEventListener('mouseup', this._ondrop, true);
    event.preventDefault();
    event.stopPropagation();
};

AppleScrollbar.prototype._drag = function (event)
{
    var room = this._trackLength() - this._thumbLength();
    var range = this._content() - this._view();
    if (room <= 0)
        return;
    var moved = event[this._names.client] - this._dragFrom.pointer;
    this._scrollTo(this._dragFrom.scrolled + moved * range / room);
    event.preventDefault();
    event.stopPropagation();
};

AppleScrollbar.prototype._endDrag = function ()
{
    document.removeEventListener('mousemove', this._ondrag, true);
    document.removeEventListener('mouseup', this._ondrop, true);
};

// A press on the track before the thumb goes back a page, after it on.
AppleScrollbar.prototype._page = function (event)
{
    if (!this.scrollarea || event.button !== 0)
        return;
    var names = this._names;
    var thumb = this._thumb.element.getBoundingClientRect();
    var before = event[names.client] < thumb[names.start];
    var page = this._view() * (before ? -1 : 1);
    this._scrollTo(this.scrollarea.content[names.scroll] + page);
    event.preventDefault();
};

AppleScrollbar.prototype.remove = function ()
{
    this._endDrag();
    this.scrollbar.removeEventListener('wheel', this._onwheel, false);
    this.scrollbar.removeChild(this._track.element);
    if (this.scrollarea)
        this.scrollarea.removeScrollbar(this);
};

function AppleVerticalScrollbar(scrollbar)
{
    this._build(scrollbar, true);
}

AppleVerticalScrollbar.prototype = Object.create(AppleScrollbar.prototype);
AppleVerticalScrollbar.prototype.constructor = AppleVerticalScrollbar;

function AppleHorizontalScrollbar(scrollbar)
{
    this._build(scrollbar, false);
}

AppleHorizontalScrollbar.prototype = Object.create(AppleScrollbar.prototype);
AppleHorizontalScrollbar.prototype.constructor = AppleHorizontalScrollbar;
