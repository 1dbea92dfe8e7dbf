#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Runs a command as a client of weston (weston.sh), keeping its home.
# Usage: under-weston.sh COMMAND [ARGUMENT...]
. "$(dirname "$0")/runtime.sh"
. "$(dirname "$0")/weston.sh"
"$@"
