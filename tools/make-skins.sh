#!/usr/bin/env bash
# Draws the two shipped skins, skins/analog and skins/digital, from drawing
# commands with ImageMagick (Debian's package): every picture of every size
# class and orientation, and each skin's config.ini in UTF-16LE. The JPEGs
# are committed; run this again only to change the look.
#
# The analog dial is drawn where the lock screen places it: centre x in the
# middle, centre y 10 above the middle on screens under 400 pixels high and
# at 180 otherwise, radius 50 on 240-pixel-high screens and 70 on the others
# (the placement's slack rule with the skin's 11-point date line). Inside the
# area the hands sweep (0.91 R plus the pen) the dial is exactly FaceColor,
# so erasing an old hand with the face pen leaves no trace; the pictures are
# saved at quality 95 without chroma subsampling so flat areas come back
# exact, and the script checks that they do. The ticks start 8 pixels
# beyond the radius: an 8x8 JPEG block that holds a swept pixel then holds
# no edge, so no ringing reaches the swept area. FaceColor is one that the
# JPEG round trip keeps exactly.
# Usage: tools/make-skins.sh [OUT_DIR (default skins/)]
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$repo/skins}
IM=${IM_CONVERT:-convert}
jpeg=(-strip -quality 95 -sampling-factor 1x1 -interlace none)

# Size classes: file name, then portrait and landscape sizes.
classes=(
  "240 240x240 240x240"
  "320 320x320 320x320"
  "480 480x480 480x480"
  "vga 480x640 640x480"
  "hd 480x800 800x480"
  "qvga 240x320 320x240"
)

# --------------------------------------------------------------- analog skin
A_BG_TOP='#1c2541' A_BG_BOTTOM='#070b18' A_GLOW='#33507e'
A_BEZEL_OUT='#9aa7bd' A_BEZEL_IN='#3d4a63'
A_FACE_RGB='20,29,46'            # FaceColor, also in config.ini
A_FACE='rgb(20,29,46)'
A_TICK_MINOR='#5d6c88' A_TICK_MAJOR='#e6ebf3'

# The dial's tick commands for centre (cx, cy) and radius r, one argument
# a line.
dial_commands() {
  awk -v cx="$1" -v cy="$2" -v r="$3" -v minor="$A_TICK_MINOR" -v major="$A_TICK_MAJOR" 'BEGIN {
    pi = atan2(0, -1)
    for (i = 0; i < 60; i++) {
      a = i * pi / 30
      s = sin(a); c = cos(a)
      if (i % 5 == 0) { r0 = r + 8; r1 = r + 15; w = (i % 15 == 0) ? 3 : 2; col = major }
      else { r0 = r + 11; r1 = r + 14; w = 1; col = minor }
      printf "-stroke\n%s\n-strokewidth\n%d\n-draw\nline %.2f,%.2f %.2f,%.2f\n", col, w, cx + r0 * s, cy - r0 * c, cx + r1 * s, cy - r1 * c
    }
  }'
}

analog_picture() {  # file WxH
  local file=$1 size=$2 w h cx cy r
  w=${size%x*} h=${size#*x}
  cx=$((w / 2))
  if [ "$h" -lt 400 ]; then cy=$((h / 2 - 10)); else cy=180; fi
  if [ "$h" -le 240 ]; then r=50; else r=70; fi
  local glow=$((r + 50)) bezel=$((r + 20)) ring=$((r + 18)) face=$((r + 17))
  mapfile -t ticks < <(dial_commands "$cx" "$cy" "$r")
  "$IM" -size "${w}x${h}" "gradient:${A_BG_TOP}-${A_BG_BOTTOM}" \
    \( -size "${w}x${h}" xc:none -fill "$A_GLOW" -draw "circle $cx,$cy $((cx + glow)),$cy" -blur 0x18 \) -composite \
    -fill none -stroke '#24324f' -strokewidth 1 -draw "line $((w / 8)),$((h - 70)) $((w - w / 8)),$((h - 70))" \
    -stroke none -fill "$A_BEZEL_OUT" -draw "circle $cx,$cy $((cx + bezel)),$cy" \
    -fill "$A_BEZEL_IN" -draw "circle $cx,$cy $((cx + ring)),$cy" \
    -fill "$A_FACE" -draw "circle $cx,$cy $((cx + face)),$cy" \
    "${ticks[@]}" \
    "${jpeg[@]}" "$file"
  check_face "$file" "$cx" "$cy" "$r"
}

# The face must come back from the JPEG as exactly FaceColor at the centre
# and at points of the swept area in each direction.
check_face() {
  local file=$1 cx=$2 cy=$3 r=$4 d
  d=$((r * 91 / 100 + 1))
  for p in "$cx,$cy" "$((cx + d)),$cy" "$((cx - d)),$cy" "$cx,$((cy + d))" "$cx,$((cy - d))" \
           "$((cx + d * 7 / 10)),$((cy + d * 7 / 10))" "$((cx - d * 7 / 10)),$((cy - d * 7 / 10))"; do
    local x=${p%,*} y=${p#*,} got
    got=$("$IM" "$file" -format "%[fx:int(255*p{$x,$y}.r+0.5)],%[fx:int(255*p{$x,$y}.g+0.5)],%[fx:int(255*p{$x,$y}.b+0.5)]" info:)
    if [ "$got" != "$A_FACE_RGB" ]; then
      echo "make-skins: $file at ($x,$y) is $got, not the face colour $A_FACE_RGB" >&2
      exit 1
    fi
  done
}

# -------------------------------------------------------------- digital skin
D_BG_TOP='#2b1d52' D_BG_BOTTOM='#080614' D_BAND='#4a3a8a' D_ACCENT='#7a6bd1'

digital_picture() {  # file WxH
  local file=$1 size=$2 w h
  w=${size%x*} h=${size#*x}
  # A soft band behind the time (which stands under the owner and date
  # lines, 60 to 130 pixels from the top), faint rings to the right, and a
  # thin rule above the message lines.
  "$IM" -size "${w}x${h}" "gradient:${D_BG_TOP}-${D_BG_BOTTOM}" \
    \( -size "${w}x${h}" xc:none -fill "$D_BAND" -draw "roundrectangle 12,62 $((w - 12)),128 24,24" -blur 0x10 \) -composite \
    \( -size "${w}x${h}" xc:none -fill none -stroke "$D_ACCENT" -strokewidth 2 \
       -draw "circle $((w - w / 6)),$((h / 2)) $((w - w / 6 + h / 4)),$((h / 2))" \
       -draw "circle $((w - w / 6)),$((h / 2)) $((w - w / 6 + h / 3)),$((h / 2))" -blur 0x1 \
       -channel A -evaluate multiply 0.25 +channel \) -composite \
    -fill none -stroke "$D_ACCENT" -strokewidth 1 -draw "line $((w / 10)),$((h - 72)) $((w - w / 10)),$((h - 72))" \
    "${jpeg[@]}" "$file"
}

# ----------------------------------------------------------------- config.ini
# Two words, then the nine colours (R, G, B), two words, then five sizes.
write_config() {  # file, then the text in ASCII
  local file=$1 text=$2
  { printf '\xff\xfe'; printf '%s' "$text" | sed 's/$/\r/' | iconv -f ASCII -t UTF-16LE; } >"$file"
}

mkdir -p "$out/analog" "$out/digital"
for entry in "${classes[@]}"; do
  read -r name portrait landscape <<<"$entry"
  analog_picture "$out/analog/portrait_$name.jpg" "$portrait"
  analog_picture "$out/analog/landscape_$name.jpg" "$landscape"
  digital_picture "$out/digital/portrait_$name.jpg" "$portrait"
  digital_picture "$out/digital/landscape_$name.jpg" "$landscape"
done

write_config "$out/analog/config.ini" "[Colours]
Owner 255, 200, 120
Date 200, 214, 235
Info 150, 165, 190
Alert 255, 99, 99
Clock 236, 240, 245
MinuteHand 190, 205, 225
SecondHand 255, 159, 67
Face $A_FACE_RGB
Appointment 210, 220, 235
[Fonts]
Owner 12
Date 11
Time 25
Appointment 9
Message 10"

write_config "$out/digital/config.ini" "[Colours]
Owner 255, 190, 110
Date 220, 210, 255
Info 170, 160, 210
Alert 255, 105, 130
Clock 120, 230, 255
MinuteHand 120, 230, 255
SecondHand 255, 105, 130
Face 43, 29, 82
Appointment 225, 220, 245
[Fonts]
Owner 12
Date 11
Time 28
Appointment 9
Message 10"
echo "make-skins: pictures and config.ini written to $out"
