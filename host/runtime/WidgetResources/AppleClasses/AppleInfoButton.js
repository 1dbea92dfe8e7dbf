// SPDX-License-Identifier: GPL-2.0-or-later
// The small "i" that turns a widget over to its back. It shows only while
// the pointer is over the widget's front, fading in and out, with a disc
// behind it while the pointer is over the button itself. The foreground
// style ("white" or "black") is the colour of the "i", the background
// style that of the disc. Clicking it calls onclick(event).

function AppleInfoButton(flipper, front, foregroundStyle, backgroundStyle, onclick)
{
    var self = this;
    this._flipper = flipper;
    this._front = front;
    this.onclick = onclick;

    if (getComputedStyle(flipper).position === 'static')
        flipper.style.position = 'relative';
    flipper.style.opacity = '0';
    flipper.style.transition = 'opacity 0.5s';
    this._disc = this._layer();
    this._disc.style.visibility = 'hidden';
    this._disc.style.opacity = '0.3';
    this._letter = this._layer();
    flipper.appendChild(this._disc);
    flipper.appendChild(this._letter);
    this.setStyle(foregroundStyle, backgroundStyle);

    this._onfrontmove = function () { flipper.style.opacity = '1'; };
    this._onfrontout = function (event) {
        if (!event.relatedTarget || !front.contains(event.relatedTarget))
            flipper.style.opacity = '0';
    };
    this._onover = function () { self._disc.style.visibility = 'visible'; };
    this._onout = function () { self._disc.style.visibility = 'hidden'; };
    this._onclick = function (event) {
        event.stopPropagation();
        self._disc.style.visibility = 'hidden';
        flipper.style.opacity = '0';
        if (typeof self.onclick === 'function')
            self.onclick(event);
    };
    front.addEventListener('mousemove', this._onfrontmove, false);
    front.addEventListener('mouseout', this._onfrontout, false);
    flipper.addEventListener('mouseover', this._onover, false);
    flipper.addEventListener('mouseout', this._onout, false);
    flipper.addEventListener('click', this._onclick, false);
}

AppleInfoButton.prototype._layer = function ()
{
    var layer = document.createElement('div');
    layer.setAttribute('role', 'button');
    layer.style.cssText = 'position: absolute; left: 0; top: 0; width: 13px; height: 13px;'
        + ' background-repeat: no-repeat; cursor: default;';
    return layer;
};

AppleInfoButton.prototype._image = function (name)
{
    return 'url("file:///System/Library/WidgetResources/ibutton/' + name + '.png")';
};

AppleInfoButton.prototype.setStyle = function (foregroundStyle, backgroundStyle)
{
    var foreground = foregroundStyle === 'black' ? 'black' : 'white';
    var background = backgroundStyle === 'black' ? 'black' : 'white';
    this._letter.style.backgroundImage = this._image(foreground + '_i');
    this._disc.style.backgroundImage = this._image(background + '_rollie');
};

AppleInfoButton.prototype.remove = function ()
{
    this._front.removeEventListener('mousemove', this._onfrontmove, false);
    this._front.removeEventListener('mouseout', this._onfrontout, false);
    this._flipper.removeEventListener('mouseover', this._onover, false);
    this._flipper.removeEventListener('mouseout', this._onout, false);
    this._flipper.removeEventListener('click', this._onclick, false);
    this._flipper.removeChild(this._disc);
    this._flipper.removeChild(this._letter);
};
