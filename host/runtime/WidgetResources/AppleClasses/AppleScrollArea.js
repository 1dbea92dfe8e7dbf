// SPDX-License-Identifier: GPL-2.0-or-later
// A scrolling view of an element's content: new AppleScrollArea(content,
// scrollbar...) clips `content` and scrolls it with the scroll bars given
// (AppleVerticalScrollbar, AppleHorizontalScrollbar), the mouse wheel, and
// while focused the arrow, page and home/end keys. Call refresh() after the
// content changed size.

function AppleScrollArea(content)
{
    var self = this;
    this.content = content;
    this.scrollsVertically = true;
    this.scrollsHorizontally = true;
    this.singlepressScrollPixels = 10;
    this.viewHeight = 0;
    this.viewWidth = 0;
    this.contentHeight = 0;
    this.contentWidth = 0;
    this.viewToContentHeightRatio = 1;
    this.viewToContentWidthRatio = 1;
    this._scrollbars = [];
    this._focused = false;

    content.style.overflow = 'hidden';
    this._onwheel = function (event) { self._wheel(event); };
    this._onkeydown = function (event) { self._key(event); };
    this._onresize = function () { self.refresh(); };
    content.addEventListener('wheel', this._onwheel, false);
    document.addEventListener('keydown', this._onkeydown, false);
    window.addEventListener('resize', this._onresize, false);

    for (var i = 1; i < arguments.length; ++i)
        this.addScrollbar(arguments[i]);
    this.refresh();
}

AppleScrollArea.prototype.addScrollbar = function (scrollbar)
{
    if (!scrollbar)
        return;
    this._scrollbars.push(scrollbar);
    scrollbar.scrollarea = this;
    scrollbar.refresh();
};

AppleScrollArea.prototype.removeScrollbar = function (scrollbar)
{
    var index = this._scrollbars.indexOf(scrollbar);
    if (index < 0)
        return;
    this._scrollbars.splice(index, 1);
    scrollbar.scrollarea = null;
};

AppleScrollArea.prototype.refresh = function ()
{
    var content = this.content;
    this.viewHeight = content.clientHeight;
    this.viewWidth = content.clientWidth;
    this.contentHeight = content.scrollHeight;
    this.contentWidth = content.scrollWidth;
    this.viewToContentHeightRatio = this.contentHeight > 0 ? this.viewHeight / this.contentHeight : 1;
    this.viewToContentWidthRatio = this.contentWidth > 0 ? this.viewWidth / this.contentWidth : 1;
    // Content that shrank may leave the view scrolled past its end.
    this.verticalScrollTo(content.scrollTop);
    this.horizontalScrollTo(content.scrollLeft);
    this._eachScrollbar(function (scrollbar) { scrollbar.refresh(); });
};

AppleScrollArea.prototype._eachScrollbar = function (action)
{
    this._scrollbars.slice().forEach(action);
};

AppleScrollArea.prototype._updateScrollbars = function ()
{
    this._eachScrollbar(function (scrollbar) { scrollbar._placeThumb(); });
};

AppleScrollArea.prototype.verticalScrollTo = function (position)
{
    if (!this.scrollsVertically)
        return;
    var end = Math.max(0, this.content.scrollHeight - this.content.clientHeight);
    this.content.scrollTop = Math.max(0, Math.min(end, Math.round(position)));
    this._updateScrollbars();
};

AppleScrollArea.prototype.horizontalScrollTo = function (position)
{
    if (!this.scrollsHorizontally)
        return;
    var end = Math.max(0, this.content.scrollWidth - this.content.clientWidth);
    this.content.scrollLeft = Math.max(0, Math.min(end, Math.round(position)));
    this._updateScrollbars();
};

// Scrolls as little as it takes to show the whole element, or its start
// when it is larger than the view.
AppleScrollArea.prototype.reveal = function (element)
{
    var view = this.content.getBoundingClientRect();
    var box = element.getBoundingClientRect();
    var top = box.top - view.top + this.content.scrollTop;
    var left = box.left - view.left + this.content.scrollLeft;
    if (top < this.content.scrollTop || box.height > view.height)
        this.verticalScrollTo(top);
    else if (top + box.height > this.content.scrollTop + view.height)
        this.verticalScrollTo(top + box.height - view.height);
    if (left < this.content.scrollLeft || box.width > view.width)
        this.horizontalScrollTo(left);
    else if (left + box.width > this.content.scrollLeft + view.width)
        this.horizontalScrollTo(left + box.width - view.width);
};

AppleScrollArea.prototype.focus = function () { this._focused = true; };
AppleScrollArea.prototype.blur = function () { this._focused = false; };

AppleScrollArea.prototype._wheel = function (event)
{
    var top = this.content.scrollTop;
    var left = this.content.scrollLeft;
    this.verticalScrollTo(top + event.deltaY);
    this.horizontalScrollTo(left + event.deltaX);
    if (this.content.scrollTop !== top || this.content.scrollLeft !== left)
        event.preventDefault();
};

AppleScrollArea.prototype._key = function (event)
{
    if (!this._focused)
        return;
    var step = this.singlepressScrollPixels;
    var page = this.content.clientHeight;
    var moves = {
        ArrowUp: [0, -step], ArrowDown: [0, step], ArrowLeft: [-step, 0], ArrowRight: [step, 0],
        PageUp: [0, -page], PageDown: [0, page],
        Home: [0, -this.content.scrollHeight], End: [0, this.content.scrollHeight]
    };
    var move = moves[event.key];
    if (!move)
        return;
    this.horizontalScrollTo(this.content.scrollLeft + move[0]);
    this.verticalScrollTo(this.content.scrollTop + move[1]);
    event.preventDefault();
};

AppleScrollArea.prototype.remove = function ()
{
    this.content.removeEventListener('wheel', this._onwheel, false);
    document.removeEventListener('keydown', this._onkeydown, false);
    window.removeEventListener('resize', this._onresize, false);
    this._eachScrollbar(function (scrollbar) { scrollbar.remove(); });
};
