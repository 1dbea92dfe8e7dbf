// SPDX-License-Identifier: GPL-2.0-or-later
// Sliders. An AppleHorizontalSlider or AppleVerticalSlider fills the element
// it is given with a track and a thumb and keeps a value from 0 to 1 (0 at
// the left or top). Pressing the track or dragging the thumb moves it, and
// onchanged(value) hears every change while the thumb moves when
// `continuous` is on (the default), else once as it is let go. setValue
// moves the thumb at once and slideTo glides it there; changes made by the
// widget itself are not reported back to it. The set... methods replace the
// built-in look with the widget's images.

function AppleSlider(slider, onchanged, vertical)
{
    var self = this;
    this.slider = slider;
    this.onchanged = onchanged;
    this.continuous = true;
    this.value = 0;
    this._vertical = vertical;
    this._names = vertical ? { start: 'top', end: 'bottom', length: 'height', cross: 'width', client: 'clientY' }
                           : { start: 'left', end: 'right', length: 'width', cross: 'height', client: 'clientX' };
    this._thumbSize = 15;
    if (getComputedStyle(slider).position === 'static')
        slider.style.position = 'relative';
    this._track = ['start', 'middle', 'end'].map(function (name) {
        var part = slider.appendChild(document.createElement('div'));
        part.style.cssText = 'position: absolute; background: rgba(0, 0, 0, 0.25);';
        part.style[self._names.cross] = '5px';
        part.style[vertical ? 'left' : 'top'] = 'calc(50% - 2.5px)';
        return { name: name, element: part, size: name === 'middle' ? 0 : 3 };
    });
    this._thumb = slider.appendChild(document.createElement('div'));
    this._thumb.setAttribute('role', 'slider');
    this._thumb.style.cssText = 'position: absolute; border-radius: 50%; background: #f4f4f4;'
        + ' box-shadow: 0 0 0 1px rgba(0, 0, 0, 0.45); background-size: 100% 100%;';
    this._onpress = function (event) { self._press(event); };
    this._ondrag = function (event) { self._move(self._valueAt(event), self.continuous); };
    this._onrelease = function () { self._release(); };
    slider.addEventListener('mousedown', this._onpress, false);
    this.refresh();
}

AppleSlider.prototype._valueAt = function (event)
{
    var box = this.slider.getBoundingClientRect();
    var travel = box[this._names.length] - this._thumbSize;
    var along = event[this._names.client] - box[this._names.start] - this._thumbSize / 2;
    return travel > 0 ? along / travel : 0;
};

AppleSlider.prototype._press = function (event)
{
    event.preventDefault();
    this._valueAtPress = this.value;
    document.addEventListener('mousemove', this._ondrag, true);
    document.addEventListener('mouseup', this._onrelease, true);
    this._move(this._valueAt(event), this.continuous);
};

AppleSlider.prototype._release = function ()
{
    document.removeEventListener('mousemove', this._ondrag, true);
    document.removeEventListener('mouseup', this._onrelease, true);
    if (!this.continuous && this.value !== this._valueAtPress && this.onchanged)
        this.onchanged(this.value);
};

AppleSlider.prototype._move = function (value, report)
{
    var moved = Math.min(1, Math.max(0, Number(value) || 0));
    var changed = moved !== this.value;
    this.value = moved;
    this.refresh();
    if (changed && report && this.onchanged)
        this.onchanged(this.value);
};

AppleSlider.prototype.refresh = function ()
{
    var names = this._names;
    var length = this.slider.getBoundingClientRect()[names.length];
    var start = this._track[0], middle = this._track[1], end = this._track[2];
    start.element.style[names.start] = '0';
    start.element.style[names.length] = start.size + 'px';
    middle.element.style[names.start] = start.size + 'px';
    middle.element.style[names.end] = end.size + 'px';
    end.element.style[names.end] = '0';
    end.element.style[names.length] = end.size + 'px';
    this._thumb.style[names.length] = this._thumb.style[names.cross] = this._thumbSize + 'px';
    this._thumb.style[this._vertical ? 'left' : 'top'] = 'calc(50% - ' + this._thumbSize / 2 + 'px)';
    this._thumb.style[names.start] = Math.max(0, length - this._thumbSize) * this.value + 'px';
};

AppleSlider.prototype.setValue = function (value) { this._move(value, false); };

AppleSlider.prototype.slideTo = function (value)
{
    var self = this, from = this.value, began = Date.now(), duration = 250;
    var target = Math.min(1, Math.max(0, Number(value) || 0));
    (function step() {
        var done = Math.min(1, (Date.now() - began) / duration);
        self._move(from + (target - from) * done, false);
        if (done < 1)
            requestAnimationFrame(step);
    })();
};

AppleSlider.prototype.setSize = function (size)
{
    this.slider.style[this._names.cross] = Number(size) + 'px';
    this.refresh();
};

AppleSlider.prototype._setTrack = function (index, image, size)
{
    var part = this._track[index];
    part.element.style.background = 'url("' + image + '") ' + (index === 1 ? 'repeat' : 'no-repeat');
    part.element.style[this._names.cross] = '100%';
    part.element.style[this._vertical ? 'left' : 'top'] = '0';
    if (size !== undefined)
        part.size = Number(size);
    this.refresh();
};

AppleSlider.prototype.setTrackStart = function (image, size) { this._setTrack(0, image, size); };
AppleSlider.prototype.setTrackMiddle = function (image) { this._setTrack(1, image); };
AppleSlider.prototype.setTrackEnd = function (image, size) { this._setTrack(2, image, size); };

AppleSlider.prototype.setThumb = function (image, size)
{
    this._thumb.style.background = 'url("' + image + '") no-repeat';
    this._thumb.style.backgroundSize = '100% 100%';
    this._thumb.style.boxShadow = this._thumb.style.borderRadius = 'none';
    if (size !== undefined)
        this._thumbSize = Number(size);
    this.refresh();
};

AppleSlider.prototype.remove = function ()
{
    this._release();
    this.slider.removeEventListener('mousedown', this._onpress, false);
    this._track.forEach(function (part) { part.element.remove(); });
    this._thumb.remove();
};

function AppleHorizontalSlider(slider, onchanged) { AppleSlider.call(this, slider, onchanged, false); }
AppleHorizontalSlider.prototype = Object.create(AppleSlider.prototype);
AppleHorizontalSlider.prototype.constructor = AppleHorizontalSlider;

function AppleVerticalSlider(slider, onchanged) { AppleSlider.call(this, slider, onchanged, true); }
AppleVerticalSlider.prototype = Object.create(AppleSlider.prototype);
AppleVerticalSlider.prototype.constructor = AppleVerticalSlider;
