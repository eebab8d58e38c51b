#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program on a private X server with a window manager, as on a
# desktop: window activation and keyboard focus are real there, which the
# offscreen platform only imitates.
set -eu
for Tool in xvfb-run openbox xprop; do
  command -v "$Tool" >/dev/null || { echo "$Tool is missing (make deps installs it)" >&2; exit 1; }
done
exec env QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  openbox --sm-disable >/dev/null 2>&1 &
  # The program starts once the window manager has taken over the screen;
  # on a loaded machine that has taken more than 5 s.
  Tries=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    Tries=$((Tries + 1))
    [ "$Tries" -le 600 ] || { echo "the window manager did not start in 30 s" >&2; exit 1; }
    sleep 0.05
  done
  exec "$@"' sh "$@"
