# SPDX-License-Identifier: GPL-2.0-or-later
# The shared resources the widget runtime serves in place of the Mac's
# /System/Library/WidgetResources, below host/runtime/WidgetResources. The
# one list: the host builds them in, and the checker, which the editor links
# without the host, is told from it which ones a page may name.
set(QUILLET_WIDGET_RESOURCES
    AppleClasses/AppleAnimator.js
    AppleClasses/AppleButton.js
    AppleClasses/AppleInfoButton.js
    AppleClasses/AppleScrollArea.js
    AppleClasses/AppleScrollbar.js
    AppleClasses/AppleSlider.js
    button/genericButton.js
    ibutton/black_i.png
    ibutton/black_rollie.png
    ibutton/white_i.png
    ibutton/white_rollie.png
    resize.png
)
