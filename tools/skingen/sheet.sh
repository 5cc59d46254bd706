#!/usr/bin/env bash
# sheet.sh <picture dir> <out.png> [<preview dir>]: lays every skin picture out on one labelled sheet, a block
# of rows per style, enlarged two times with hard pixels so that state pieces can be judged; the mock windows
# of the preview dir, when given, come first.
set -euo pipefail
dir=$1
out=$2
previews=${3:-}
if ! command -v convert >/dev/null; then
  echo "skin_sheet: ImageMagick (convert) is missing; install it with: apt-get install -y imagemagick" >&2
  exit 1
fi
font=$(fc-match -f '%{file}' sans 2>/dev/null || true)
fontopt=()
[ -n "$font" ] && fontopt=(-font "$font")
bg='#EEF0F3'
maxwidth=1500
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Packs the labelled items given as arguments into rows no wider than maxwidth; prints the row files.
pack() {
  local row=() width=0 n=0 w
  for item in "$@"; do
    w=$(identify -format '%w' "$item")
    if [ ${#row[@]} -gt 0 ] && [ $((width + w)) -gt $maxwidth ]; then
      convert "${row[@]}" -background "$bg" -gravity south +append "$work/row-$BASHPID-$n.png"
      echo "$work/row-$BASHPID-$n.png"
      n=$((n + 1)) row=() width=0
    fi
    row+=("$item")
    width=$((width + w))
  done
  if [ ${#row[@]} -gt 0 ]; then
    convert "${row[@]}" -background "$bg" -gravity south +append "$work/row-$BASHPID-$n.png"
    echo "$work/row-$BASHPID-$n.png"
  fi
}

blocks=()
if [ -n "$previews" ]; then
  shots=()
  for group in MACOS WINXP DEEPBLUE PROTEIN BLUEGLASS; do
    convert "$previews/PREVIEW_$group.bmp" -filter point -resize 200% \
      \( -background "$bg" "${fontopt[@]}" -pointsize 12 label:"$group" \) -background "$bg" -gravity center \
      -append -bordercolor "$bg" -border 8 "$work/shot-$group.png"
    shots+=("$work/shot-$group.png")
  done
  convert "${shots[@]:0:2}" -background "$bg" +append "$work/shots-1.png"
  convert "${shots[@]:2:2}" -background "$bg" +append "$work/shots-2.png"
  convert "${shots[4]}" -background "$bg" +append "$work/shots-3.png"
  convert "$work/shots-1.png" "$work/shots-2.png" "$work/shots-3.png" -background "$bg" -gravity west -append \
    "$work/block-previews.png"
  blocks+=("$work/block-previews.png")
fi
for group in MACOS WINXP DEEPBLUE PROTEIN BLUEGLASS SHARED; do
  if [ "$group" = SHARED ]; then
    names=$(awk '$1 !~ /^(MACOS|WINXP|DEEPBLUE|PROTEIN|BLUEGLASS)_/ {print $1}' "$dir/index.txt")
  else
    names=$(awk -v p="${group}_" 'index($1, p) == 1 {print $1}' "$dir/index.txt")
  fi
  items=()
  for n in $names; do
    read -r w h pieces < <(awk -v n="$n" '$1 == n {print $2, $3, $4}' "$dir/index.txt")
    convert "$dir/$n.bmp" -filter point -resize 200% -bordercolor '#B9BEC8' -border 1 \
      \( -background "$bg" "${fontopt[@]}" -pointsize 11 label:"$n ${w}x${h}/${pieces}" \) \
      -background "$bg" -gravity center -append -bordercolor "$bg" -border 8 "$work/item-$n.png"
    items+=("$work/item-$n.png")
  done
  mapfile -t rows < <(pack "${items[@]}")
  convert -background "$bg" "${fontopt[@]}" -pointsize 20 label:"$group" "${rows[@]}" -gravity west -append \
    -bordercolor "$bg" -border 6 "$work/block-$group.png"
  blocks+=("$work/block-$group.png")
done
convert "${blocks[@]}" -background "$bg" -gravity west -append +repage "$out"
echo "skin_sheet: wrote $out"
