// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

/// Where installed templates live, and the first-use filling of that folder
/// from the templates the program ships.
class TemplateFolder
{
public:
    /// "~/Library/Application Support/Quillet/", the tilde expanded.
    static QString applicationSupportPath();
    /// "~/Library/Application Support/Quillet/Templates", the tilde expanded.
    static QString templatesPath();

    /// Makes sure the templates folder exists: on first use it is filled with
    /// the shipped templates; when even that fails it is made empty, so that a
    /// template can always be installed into it.
    static void prepare();
};
