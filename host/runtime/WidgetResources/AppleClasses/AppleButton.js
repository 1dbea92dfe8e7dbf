// SPDX-License-Identifier: GPL-2.0-or-later
// Buttons for widget pages. An AppleButton is drawn from three images (a
// left cap, a middle stretched under the label, a right cap) with a second
// set shown while it is pressed; an AppleGlassButton is the translucent
// pill-shaped button of a widget's back side. Either calls its onclick
// (event) when pressed and released over itself while enabled.

function AppleButton(button, label, height, imgLeft, imgLeftClicked, imgLeftWidth,
                     imgMiddle, imgMiddleClicked, imgRight, imgRightClicked, imgRightWidth,
                     onclick)
{
    this._images = {
        normal: [imgLeft, imgMiddle, imgRight],
        pressed: [imgLeftClicked, imgMiddleClicked, imgRightClicked],
        disabled: null
    };
    this._build(button, label, height, imgLeftWidth, imgRightWidth, onclick);
}

AppleButton.prototype._build = function (button, label, height, leftWidth, rightWidth, onclick)
{
    var self = this;
    this.button = button;
    this.onclick = onclick;
    this.enabled = true;
    this._pressed = false;
    this._over = false;

    this._frame = document.createElement('div');
    this._frame.setAttribute('role', 'button');
    this._frame.style.cssText = 'display: flex; box-sizing: border-box; cursor: default;'
        + ' -webkit-user-select: none; user-select: none; height: ' + height + 'px;';
    this._left = this._part(leftWidth);
    this._middle = this._part(0);
    this._right = this._part(rightWidth);
    this._middle.style.flex = '1 1 auto';
    this._middle.style.lineHeight = height + 'px';
    this._middle.style.textAlign = 'center';
    this._middle.style.whiteSpace = 'nowrap';
    this.textElement = document.createElement('span');
    this.textElement.textContent = label;
    this._middle.appendChild(this.textElement);
    this._frame.appendChild(this._left);
    this._frame.appendChild(this._middle);
    this._frame.appendChild(this._right);
    button.appendChild(this._frame);

    this._onmousedown = function (event) { self._press(event); };
    this._onmousemove = function (event) { self._track(event); };
    this._onmouseup = function (event) { self._release(event); };
    this._frame.addEventListener('mousedown', this._onmousedown, false);
    this._paint();
};

AppleButton.prototype._part = function (width)
{
    var part = document.createElement('div');
    part.style.cssText = 'flex: 0 0 auto; height: 100%; background-repeat: no-repeat;'
        + ' background-size: 100% 100%;';
    if (width)
        part.style.width = width + 'px';
    return part;
};

AppleButton.prototype._press = function (event)
{
    if (!this.enabled || event.button !== 0)
        return;
    this._pressed = this._over = true;
    document.addEventListener('mousemove', this._onmousemove, true);
    document.addEventListener('mouseup', this._onmouseup, true);
    event.preventDefault();
    event.stopPropagation();
    this._paint();
};

AppleButton.prototype._track = function (event)
{
    var over = this._frame.contains(event.target);
    if (over === this._over)
        return;
    this._over = over;
    this._paint();
};

AppleButton.prototype._release = function (event)
{
    document.removeEventListener('mousemove', this._onmousemove, true);
    document.removeEventListener('mouseup', this._onmouseup, true);
    var clicked = this._pressed && this._frame.contains(event.target);
    this._pressed = this._over = false;
    this._paint();
    event.stopPropagation();
    if (clicked && this.enabled && typeof this.onclick === 'function')
        this.onclick(event);
};

AppleButton.prototype._paint = function ()
{
    var images = this._images.normal;
    if (!this.enabled && this._images.disabled)
        images = this._images.disabled;
    else if (this._pressed && this._over)
        images = this._images.pressed;
    var parts = [this._left, this._middle, this._right];
    for (var i = 0; i < parts.length; ++i)
        parts[i].style.backgroundImage = images[i] ? 'url("' + images[i] + '")' : 'none';
    this._frame.style.opacity = this.enabled || this._images.disabled ? '' : '0.5';
};

AppleButton.prototype.setEnabled = function (enabled)
{
    this.enabled = !!enabled;
    this._paint();
};

AppleButton.prototype.setDisabledImages = function (imgLeft, imgMiddle, imgRight)
{
    this._images.disabled = [imgLeft, imgMiddle, imgRight];
    this._paint();
};

AppleButton.prototype.remove = function ()
{
    this._frame.removeEventListener('mousedown', this._onmousedown, false);
    if (this._frame.parentNode)
        this._frame.parentNode.removeChild(this._frame);
};

function AppleGlassButton(button, label, onclick)
{
    this._images = { normal: [], pressed: [], disabled: null };
    this._build(button, label, 22, 10, 10, onclick);
    this._frame.style.cssText += 'border-radius: 11px; color: white;'
        + ' font: bold 12px "Helvetica Neue", Helvetica, Arial, sans-serif;'
        + ' text-shadow: 0 -1px 0 rgba(0, 0, 0, 0.5); border: 1px solid rgba(255, 255, 255, 0.6);'
        + ' box-shadow: 0 1px 2px rgba(0, 0, 0, 0.35);';
    this._paint();
}

AppleGlassButton.prototype = Object.create(AppleButton.prototype);
AppleGlassButton.prototype.constructor = AppleGlassButton;

// Lighter above the middle than below it, as glass catches the light;
// darker while pressed.
AppleGlassButton.prototype._paint = function ()
{
    var pressed = this._pressed && this._over;
    var top = pressed ? 'rgba(0, 0, 0, 0.25)' : 'rgba(255, 255, 255, 0.5)';
    var middle = pressed ? 'rgba(0, 0, 0, 0.35)' : 'rgba(255, 255, 255, 0.2)';
    var below = pressed ? 'rgba(0, 0, 0, 0.45)' : 'rgba(255, 255, 255, 0.05)';
    this._frame.style.background = 'linear-gradient(to bottom, ' + top + ' 0%, ' + middle + ' 50%, '
        + below + ' 51%, ' + middle + ' 100%)';
    this._frame.style.opacity = this.enabled ? '' : '0.5';
};
