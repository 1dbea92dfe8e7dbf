# SPDX-License-Identifier: GPL-2.0-or-later
# Sourced by the host's shell tests: a runtime folder of their own, fresh, as
# $runtime and XDG_RUNTIME_DIR. At exit the processes listed in $started are
# ended and the folder removed.
runtime=$(mktemp -d)
started=
trap 'kill $started 2>/dev/null; rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime QTWEBENGINE_DISABLE_SANDBOX=1
