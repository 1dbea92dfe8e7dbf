// SPDX-License-Identifier: GPL-2.0-or-later
// Timed animations for widget pages: an AppleAnimator runs for a duration,
// waking every interval, and moves each of its animations from their start
// value to their end value, easing in and out. An AppleAnimation moves a
// number, an AppleRectAnimation an AppleRect; each hands the new value to
// its callback as callback(animator, now, from, to). The last frame always
// hands over the exact end value.

function AppleAnimator(duration, interval, optionalFrom, optionalTo, optionalCallback)
{
    this.duration = duration;
    this.interval = interval;
    this.animations = [];
    this.timer = null;
    this.startTime = 0;
    this.oncomplete = null;
    if (optionalCallback !== undefined)
        this.addAnimation(new AppleAnimation(optionalFrom, optionalTo, optionalCallback));
}

AppleAnimator.prototype.addAnimation = function (animation)
{
    this.animations.push(animation);
};

AppleAnimator.prototype.start = function ()
{
    if (this.timer)
        return;
    var self = this;
    this.startTime = Date.now();
    this.timer = setInterval(function () { self._frame(); }, this.interval);
    this._frame();
};

AppleAnimator.prototype.stop = function ()
{
    if (!this.timer)
        return;
    clearInterval(this.timer);
    this.timer = null;
};

AppleAnimator.prototype.setOnFinished = function (callback)
{
    this.oncomplete = callback;
};

AppleAnimator.prototype._frame = function ()
{
    var elapsed = Date.now() - this.startTime;
    var done = !(this.duration > 0) || elapsed >= this.duration;
    var progress = done ? 1 : 0.5 - 0.5 * Math.cos(Math.PI * elapsed / this.duration);
    for (var i = 0; i < this.animations.length; ++i)
        this.animations[i].doFrame(this, progress);
    if (!done)
        return;
    this.stop();
    if (typeof this.oncomplete === 'function')
        this.oncomplete(this);
};

function AppleAnimation(from, to, callback)
{
    this.from = from;
    this.to = to;
    this.callback = callback;
    this.now = from;
}

AppleAnimation.prototype.doFrame = function (animator, progress)
{
    this.now = this._valueAt(progress);
    if (typeof this.callback === 'function')
        this.callback(animator, this.now, this.from, this.to);
};

AppleAnimation.prototype._valueAt = function (progress)
{
    if (progress >= 1)
        return this.to;
    return this.from + (this.to - this.from) * progress;
};

function AppleRect(left, top, right, bottom)
{
    this.left = left;
    this.top = top;
    this.right = right;
    this.bottom = bottom;
}

AppleRect.prototype.toString = function ()
{
    return 'left: ' + this.left + ', top: ' + this.top
        + ', right: ' + this.right + ', bottom: ' + this.bottom;
};

function AppleRectAnimation(from, to, callback)
{
    AppleAnimation.call(this, from, to, callback);
}

AppleRectAnimation.prototype = Object.create(AppleAnimation.prototype);
AppleRectAnimation.prototype.constructor = AppleRectAnimation;

AppleRectAnimation.prototype._valueAt = function (progress)
{
    if (progress >= 1)
        return this.to;
    var from = this.from;
    var to = this.to;
    function side(name) { return from[name] + (to[name] - from[name]) * progress; }
    return new AppleRect(side('left'), side('top'), side('right'), side('bottom'));
};
