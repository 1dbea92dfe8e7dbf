// SPDX-License-Identifier: GPL-2.0-or-later
// The plain rounded button of early widgets: createGenericButton(element,
// label, onclick, width) fills `element` with a button showing `label`,
// `width` pixels wide when given, that calls onclick(event) when clicked.
// genericButtonSetEnabled(element, enabled) turns it off and on again.

function createGenericButton(element, label, onclick, width)
{
    var button = document.createElement('div');
    button.setAttribute('role', 'button');
    button.textContent = label;
    button.style.cssText = 'display: inline-block; box-sizing: border-box; height: 21px;'
        + ' padding: 0 12px; border-radius: 10px; border: 1px solid rgba(255, 255, 255, 0.55);'
        + ' background: linear-gradient(to bottom, rgba(255, 255, 255, 0.45), rgba(255, 255, 255, 0.1));'
        + ' color: white; font: bold 11px/19px "Lucida Grande", Helvetica, Arial, sans-serif;'
        + ' text-align: center; white-space: nowrap; cursor: default;'
        + ' -webkit-user-select: none; user-select: none; text-shadow: 0 -1px 0 rgba(0, 0, 0, 0.5);';
    if (width)
        button.style.width = width + 'px';
    button.addEventListener('mousedown', function (event) {
        if (element._genericButtonEnabled !== false)
            button.style.filter = 'brightness(0.7)';
        event.preventDefault();
    }, false);
    button.addEventListener('mouseup', function () { button.style.filter = ''; }, false);
    button.addEventListener('mouseleave', function () { button.style.filter = ''; }, false);
    button.addEventListener('click', function (event) {
        if (element._genericButtonEnabled !== false && typeof onclick === 'function')
            onclick(event);
    }, false);
    element.appendChild(button);
    return button;
}

function genericButtonSetEnabled(element, enabled)
{
    element._genericButtonEnabled = !!enabled;
    element.style.opacity = enabled ? '' : '0.5';
}
