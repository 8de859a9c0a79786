#!/usr/bin/env bash
# The list gallery in the Wine desktop: dark and light lists, both scroll-bar designs and a
# shadowed popup paint the colours they should at chosen points; the wheel scrolls a list.
source "$(dirname "$0")/lib.sh"
GALLERY="$3"
setup

start_gallery() {
  (wine explorer /desktop=shell,1280x800 "$GALLERY" >"$WORK/gallery.log" 2>&1 </dev/null &)
}
gallery_window() { windows | awk -F'\t' '$3 == "ZelkGallery" && $4 == 1'; }
gallery_up() { [ -n "$(gallery_window)" ]; }
stop_gallery() { pkill -f "^$E2E_ROOT/build/[^ ]*zelk_gallery\.exe" 2>/dev/null || true; }
trap 'stop_gallery; kill_app' EXIT

start_gallery
wait_until 30 gallery_up || fail "the gallery window never appeared"
sleep 2
img="$(shot gallery)"

# colour X Y: the pixel as "R G B".
colour() { convert "$img" -crop "1x1+$1+$2" +repage -depth 8 txt:- | awk -F'[(),]' 'NR == 2 { print $3+0, $4+0, $5+0 }'; }
dark() { read -r r g b <<<"$(colour "$1" "$2")"; [ "$r" -lt 48 ] && [ "$g" -lt 48 ] && [ "$b" -lt 48 ]; }
light() { read -r r g b <<<"$(colour "$1" "$2")"; [ "$r" -gt 235 ] && [ "$g" -gt 235 ] && [ "$b" -gt 235 ]; }
highlight() { read -r r g b <<<"$(colour "$1" "$2")"; [ "$b" -gt 150 ] && [ "$b" -gt $((r + 60)) ]; }

# Client origin: the gallery's lists start 20 pixels inside it.
read -r x0 y0 _ <<<"$(gallery_window | awk -F'\t' '{ split($5, r, ","); print r[1], r[2] }')"
cy=$((y0 + 22))
log "gallery at $x0,$y0"

dark $((x0 + 150)) $((cy + 250)) || fail "dark list background ($(colour $((x0 + 150)) $((cy + 250))))"
highlight $((x0 + 200)) $((cy + 98)) || fail "dark list selected row ($(colour $((x0 + 200)) $((cy + 98))))"
light $((x0 + 720)) $((cy + 250)) || fail "light list background ($(colour $((x0 + 720)) $((cy + 250))))"
highlight $((x0 + 760)) $((cy + 98)) || fail "light list selected row ($(colour $((x0 + 760)) $((cy + 98))))"
highlight $((x0 + 330)) $((cy + 40)) || fail "sub-title list selected row"
dark $((x0 + 200)) $((cy + 480)) || fail "popup background"
highlight $((x0 + 200)) $((cy + 447)) || fail "popup selected row ($(colour $((x0 + 200)) $((cy + 447))))"

# The wheel over the first list scrolls it: its rows move.
before="$(convert "$img" -crop "200x120+$((x0 + 30))+$((cy + 200))" +repage -format '%#' info:)"
xdotool mousemove $((x0 + 150)) $((cy + 250))
for _ in 1 2 3; do xdotool click 5; sleep 0.2; done
sleep 1
after_img="$(shot gallery-scrolled)"
after="$(convert "$after_img" -crop "200x120+$((x0 + 30))+$((cy + 200))" +repage -format '%#' info:)"
[ "$before" != "$after" ] || fail "the wheel did not scroll the list"
log "PASS"
