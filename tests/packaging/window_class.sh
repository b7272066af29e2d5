#!/usr/bin/env bash
# The program's window on an X display as a panel sees it: its class is the
# one the menu entry names (StartupWMClass), so the panel groups the window
# under the entry, and it carries its own icon (_NET_WM_ICON), so the panel
# shows ours instead of a blank one. Run on a private X display.
# Arguments: the build folder.
set -euo pipefail
build=$1
source "$(dirname "$0")/lib.sh"
for tool in xdotool xprop; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done

desktop=$build/packaging/org.example.stowbook.desktop
class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[ -n "$class" ] || fail "the menu entry names no StartupWMClass"

"$build/stowbook-setup" "$work/data" >/dev/null || fail "stowbook-setup"
QT_QPA_PLATFORM=xcb "$build/stowbook" -d "$work/data" >"$work/program.log" 2>&1 &
program=$!
trap 'kill "$program" 2>/dev/null; wait "$program" 2>/dev/null || true; rm -rf "$work"' EXIT

# Waits until the main window is shown (xdotool waits for it itself).
window=$(timeout 60 xdotool search --sync --onlyvisible --class "^$class\$" | head -n 1) ||
    { cat "$work/program.log" >&2; fail "no window of class $class was shown"; }
[ -n "$window" ] || fail "no window of class $class was shown"

wm_class=$(xprop -id "$window" WM_CLASS)
[ "$wm_class" = "WM_CLASS(STRING) = \"stowbook\", \"$class\"" ] || fail "the window's class: $wm_class"

# _NET_WM_ICON: width, height and the pixels, one icon after another.
icon=$(xprop -id "$window" -notype 32c _NET_WM_ICON)
grep -q '^_NET_WM_ICON = ' <<<"$icon" || fail "the window has no icon: $icon"
sizes=$(tr -d ' ' <<<"${icon#*= }" | tr ',' '\n' | awk '
    BEGIN { at = 1 }
    { value[NR] = $1 }
    END { while (at < NR) { w = value[at]; h = value[at + 1]; print w "x" h; at += 2 + w * h } }')
for size in 16x16 32x32 48x48; do
    grep -qx "$size" <<<"$sizes" || fail "the window's icon lacks $size (it has $(tr '\n' ' ' <<<"$sizes"))"
done
echo "the window is of class $class, as the menu entry says, with icons of $(tr '\n' ' ' <<<"$sizes")"
