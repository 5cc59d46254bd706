#!/usr/bin/env bash
# The game as a user gets it. One step per CTest test:
#   installed.sh tree     <build> <scratch>   install into a scratch DESTDIR and check the tree and its files
#   installed.sh launcher <build> <scratch>   the launcher's folder, picture link and arguments, on a stand-in game
#   installed.sh desktop  <build> <scratch>   the installed game on a virtual desktop (run under xvfb-run)
#   installed.sh package  <build> <scratch>   the Debian package against the installed tree
# `tree` makes the installed tree the other steps use; WITH_SOLVER=1 says the tree has quendrel-solve too.
set -euo pipefail

step=$1
build=$(cd "$2" && pwd -P)
mkdir -p "$3"
scratch=$(cd "$3" && pwd -P) # links the launcher makes name real folders
prefix=/opt/quendrel-test # any prefix: nothing in the tree may depend on it
root=$scratch/root
installed=$root$prefix
app_id=example.tileforge.quendrel

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

expect_file() {
  [ -f "$1" ] || fail "missing $1"
}

# What an installed tree holds, one relative path a line, folders left out.
tree_listing() {
  (cd "$1" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
}

step_tree() {
  rm -rf "$root"
  DESTDIR=$root cmake --install "$build" --prefix "$prefix" >/dev/null

  [ -x "$installed/bin/quendrel" ] || fail "no launcher in bin/"
  [ -x "$installed/lib/quendrel/quendrel" ] || fail "no game in lib/quendrel/"
  if [ "${WITH_SOLVER:-0}" = 1 ]; then
    [ -x "$installed/bin/quendrel-solve" ] || fail "quendrel-solve was built but not installed"
    # It runs from the tree and solves a board there.
    answer=$(echo "2 3 1 2 3 4 0 5" | XDG_CACHE_HOME=$root/cache "$installed/bin/quendrel-solve") ||
      fail "the installed quendrel-solve failed"
    [ "$answer" = "1 5" ] || fail "the installed quendrel-solve answered '$answer'"
  fi
  expect_file "$installed/share/quendrel/default.jpg"
  for theme in Emerald Sunset Amethyst; do
    expect_file "$installed/share/quendrel/themes/$theme.skn"
    # The game's theme dialog opens in "themes" beside the game.
    expect_file "$installed/lib/quendrel/themes/$theme.skn"
  done
  [ -L "$installed/lib/quendrel/themes" ] || fail "lib/quendrel/themes is no link to the shared themes"
  case $(readlink "$installed/lib/quendrel/themes") in
  /*) fail "lib/quendrel/themes points at an absolute path: the tree could not move" ;;
  esac

  # The game and its libraries find each other through a run path relative to themselves, and only there.
  for elf in "$installed"/lib/quendrel/quendrel "$installed"/lib/quendrel/*.so "$installed"/bin/quendrel-solve; do
    [ -e "$elf" ] || continue
    runpath=$(readelf -d "$elf" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
    case $runpath in
    '$ORIGIN' | '$ORIGIN/'*) ;;
    *) fail "$elf has run path '$runpath', not one relative to itself" ;;
    esac
    libraries=$(ldd "$elf")
    if grep -q "not found" <<<"$libraries"; then fail "$elf: $(grep 'not found' <<<"$libraries")"; fi
    if grep "=> $build/" <<<"$libraries" | grep -vq "=> $installed/"; then
      fail "$elf still loads libraries from the build tree"
    fi
  done

  # The icons: every size of the hicolor theme the menu asks for, square, with transparency.
  for size in 16 32 48 64 128 256; do
    icon=$installed/share/icons/hicolor/${size}x${size}/apps/quendrel.png
    expect_file "$icon"
    read -r w h alpha < <(identify -format '%w %h %A\n' "$icon")
    [ "$w $h" = "$size $size" ] || fail "$icon is ${w}x$h"
    [ "$alpha" != "False" ] && [ "$alpha" != "Undefined" ] || fail "$icon has no alpha channel"
    # Its corner lies outside the rounded art; its middle is the art.
    read -r corner middle < <(convert "$icon" -format "%[fx:p{0,0}.a] %[fx:p{$((size / 2)),$((size / 2))}.a]\n" info:)
    [ "$corner" = 0 ] || fail "$icon: corner opacity $corner"
    [ "$middle" = 1 ] || fail "$icon: middle opacity $middle"
  done

  desktop=$installed/share/applications/$app_id.desktop
  metainfo=$installed/share/metainfo/$app_id.metainfo.xml
  expect_file "$desktop"
  expect_file "$metainfo"
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
  grep -qx 'Categories=Game;LogicGame;' "$desktop" || fail "the menu entry is not in Game;LogicGame;"
  grep -qx 'Exec=quendrel %f' "$desktop" || fail "the menu entry does not start the launcher with the file"
  grep -qx 'MimeType=application/x-quendrel-game;' "$desktop" || fail "the menu entry does not open saved games"
  mime=$installed/share/mime/packages/$app_id.xml
  expect_file "$mime"
  xmllint --noout "$mime" || fail "$mime is not well-formed"
  grep -q '<mime-type type="application/x-quendrel-game">' "$mime" || fail "$mime does not declare the game type"
  grep -q '<glob pattern="\*.qgame"/>' "$mime" || fail "$mime does not match *.qgame"
  grep -qx 'Icon=quendrel' "$desktop" || fail "the menu entry's icon is not the installed one"
}

# The launcher with a stand-in for the game, which reports where it was started and with what.
step_launcher() {
  local dir=$scratch/launcher
  rm -rf "$dir"
  mkdir -p "$dir/tree/bin" "$dir/tree/lib/quendrel" "$dir/tree/share/quendrel" "$dir/start"
  cp "$installed/bin/quendrel" "$dir/tree/bin/"
  echo picture >"$dir/tree/share/quendrel/default.jpg"
  cat >"$dir/tree/lib/quendrel/quendrel" <<'STANDIN'
#!/bin/sh
{ pwd; for a in "$@"; do printf '[%s]\n' "$a"; done; } >"$PROBE"
STANDIN
  chmod +x "$dir/tree/lib/quendrel/quendrel"
  local probe=$dir/probe
  run() { (cd "$dir/start" && env -u HOME -u XDG_DATA_HOME PROBE="$probe" "$@"); }

  # First start: the default data folder is made, private, and the game runs there with the arguments as given.
  run HOME="$dir/home" "$dir/tree/bin/quendrel" "two words" "" --x
  local folder=$dir/home/.local/share/quendrel
  [ "$(cat "$probe")" = "$folder
[two words]
[]
[--x]" ] || fail "stand-in saw: $(cat "$probe")"
  [ "$(stat -c %a "$folder")" = 700 ] || fail "$folder is not private to the user"
  [ "$(readlink "$folder/default.jpg")" = "$dir/tree/share/quendrel/default.jpg" ] ||
    fail "default.jpg is not linked to the installed picture"
  [ -z "$(ls -A "$dir/start")" ] || fail "the launcher left files where it was started"

  # XDG_DATA_HOME chooses the folder; a launcher reached through a link still finds its tree.
  mkdir -p "$dir/links"
  ln -s "$dir/tree/bin/quendrel" "$dir/links/quendrel"
  run HOME="$dir/home" XDG_DATA_HOME="$dir/xdg" "$dir/links/quendrel"
  [ "$(head -1 "$probe")" = "$dir/xdg/quendrel" ] || fail "XDG_DATA_HOME not followed: $(head -1 "$probe")"

  # The tree moves: the picture link follows it. A picture the user put there is kept.
  mv "$dir/tree" "$dir/moved"
  run HOME="$dir/home" "$dir/moved/bin/quendrel"
  [ "$(readlink "$folder/default.jpg")" = "$dir/moved/share/quendrel/default.jpg" ] ||
    fail "default.jpg still points at the old tree"
  rm "$dir/xdg/quendrel/default.jpg"
  echo mine >"$dir/xdg/quendrel/default.jpg"
  run HOME="$dir/home" XDG_DATA_HOME="$dir/xdg" "$dir/moved/bin/quendrel"
  [ "$(cat "$dir/xdg/quendrel/default.jpg")" = mine ] || fail "the user's own default.jpg was replaced"
  ln -sfn "$dir/xdg/quendrel/mine.jpg" "$folder/default.jpg"
  run HOME="$dir/home" "$dir/moved/bin/quendrel"
  [ "$(readlink "$folder/default.jpg")" = "$dir/xdg/quendrel/mine.jpg" ] || fail "the user's own link was replaced"

  # A file named relative to where the game was started is passed on by its full name.
  echo game >"$dir/start/saved.qgame"
  run HOME="$dir/home" "$dir/moved/bin/quendrel" saved.qgame
  [ "$(tail -1 "$probe")" = "[$dir/start/saved.qgame]" ] || fail "relative game file passed as: $(tail -1 "$probe")"
  rm "$dir/start/saved.qgame"

  # Without a home there is no folder for the settings: say so and start nothing.
  rm -f "$probe"
  if run "$dir/moved/bin/quendrel" 2>"$dir/error"; then fail "started without HOME"; fi
  grep -q "no folder for the settings" "$dir/error" || fail "no reason given: $(cat "$dir/error")"
  [ ! -e "$probe" ] || fail "the game was started without a settings folder"
}

# The installed game on the desktop: started by the launcher from an unrelated folder with a fresh home, it
# shows its painted window, closes on its Exit key, and leaves its settings in the user's data folder only.
step_desktop() {
  local dir=$scratch/desktop shots=$build/test-output/desktop-install
  rm -rf "$dir"
  mkdir -p "$dir/home" "$dir/start" "$shots"
  (cd "$dir/start" && exec env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_CACHE_HOME HOME="$dir/home" \
    QT_QPA_PLATFORM=xcb "$installed/bin/quendrel") &
  local pid=$! window=""
  for _ in $(seq 1 480); do
    window=$(xdotool search --onlyvisible --classname '^quendrel$' 2>/dev/null | head -1) || true
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended before showing a window"
    sleep 0.25
  done
  [ -n "$window" ] || fail "no game window within two minutes"
  xprop -id "$window" WM_CLASS | grep -q '"quendrel", "quendrel"' ||
    fail "window class $(xprop -id "$window" WM_CLASS) does not match the menu entry's StartupWMClass"

  # Painted: the skinned caption (a dark blue band) over a light client area, with the tiles' many shades;
  # an unpainted window is black or one colour.
  local X Y WIDTH HEIGHT SCREEN painted=""
  for _ in $(seq 1 120); do
    sleep 0.25
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root "$shots/launcher.png"
    read -r colours mean caption < <(convert "$shots/launcher.png" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage \
      -format "%k %[fx:mean] %[fx:p{$((WIDTH / 2)),8}.b-p{$((WIDTH / 2)),8}.r]\n" info:)
    if [ "$colours" -ge 16 ] && awk "BEGIN{exit !($mean > 0.6 && $caption > 0.12)}"; then
      painted=yes
      break
    fi
  done
  [ -n "$painted" ] || fail "the window is not painted ($colours colours, mean $mean, caption blue $caption)"

  # Exit (Alt+X), sent to the game's window itself.
  xdotool key --window "$window" alt+x
  for _ in $(seq 1 240); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.25
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    fail "the game did not end on Alt+X"
  fi
  wait "$pid" || fail "the game ended with status $?"

  local settings=$dir/home/.local/share/quendrel/quendrel.ini
  expect_file "$settings"
  grep -q '^Image=default.jpg' "$settings" || fail "the settings do not name the default picture"
  local all
  all=$(find "$dir" -name quendrel.ini)
  [ "$all" = "$settings" ] || fail "settings files: $all"
}

# The package holds exactly the installed tree, under /usr, and declares what it links.
step_package() {
  local dir=$scratch/package
  rm -rf "$dir"
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$dir" >"$dir.log" 2>&1 || {
    cat "$dir.log"
    fail "cpack failed"
  }
  local debs=("$dir"/*.deb)
  [ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "expected one package, found: ${debs[*]}"
  local deb=${debs[0]}

  dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sed 's|^\./usr/||' | LC_ALL=C sort >"$dir/contents"
  tree_listing "$installed" >"$dir/tree"
  diff -u "$dir/tree" "$dir/contents" || fail "the package's files differ from the installed tree"

  [ "$(dpkg-deb -f "$deb" Package)" = quendrel ] || fail "package name"
  [ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section"
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libqt6widgets6 libjpeg62-turbo libsqlite3-0 libstdc++6; do
    grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib: $depends"
  done

  # Unpacked anywhere, the game still finds every library of its own.
  dpkg-deb -x "$deb" "$dir/unpacked"
  local libraries
  libraries=$(ldd "$dir/unpacked/usr/lib/quendrel/quendrel")
  if grep -q "not found" <<<"$libraries"; then fail "unpacked: $(grep 'not found' <<<"$libraries")"; fi
  grep -q "libskin.so => $dir/unpacked/usr/lib/quendrel/" <<<"$libraries" || fail "unpacked game loads: $libraries"

  # Installed, removed and purged by dpkg in a system of its own, beside a user who has played: the package's
  # files come and go whole, and the user's settings stay as they were. The maintainer scripts run outside
  # that system, with a stand-in for ldconfig so that the real cache is left alone.
  local system=$dir/system home=$dir/home
  mkdir -p "$system/var/lib/dpkg/info" "$system/var/lib/dpkg/updates" "$dir/stubs" "$home/.local/share/quendrel"
  touch "$system/var/lib/dpkg/status"
  printf '#!/bin/sh\nexit 0\n' >"$dir/stubs/ldconfig"
  chmod +x "$dir/stubs/ldconfig"
  printf '[DEFAULT]\nPuzzle Size=4\nImage=default.jpg\n' >"$home/.local/share/quendrel/quendrel.ini"
  cp -a "$home" "$dir/home-before"
  local as_root=()
  [ "$(id -u)" = 0 ] || as_root=(fakeroot)
  dpkg_in_system() {
    PATH=$dir/stubs:$PATH "${as_root[@]}" dpkg --root="$system" --force-script-chrootless "$@" >>"$dir/dpkg.log" 2>&1 ||
      { cat "$dir/dpkg.log"; fail "dpkg $*"; }
  }
  dpkg_in_system --force-depends -i "$deb"
  (cd "$system/usr" && tree_listing .) >"$dir/system-tree"
  diff -u "$dir/tree" "$dir/system-tree" || fail "dpkg installed other files than the tree holds"
  dpkg_in_system -r quendrel
  dpkg_in_system -P quendrel
  [ -z "$(find "$system" -mindepth 1 -not -path "$system/var" -not -path "$system/var/lib" \
    -not -path "$system/var/lib/dpkg*")" ] || fail "removing left files behind"
  diff -r "$dir/home-before" "$home" || fail "removing the package changed the user's settings"
}

case $step in
tree | launcher | desktop | package) "step_$step" ;;
*) fail "unknown step $step" ;;
esac
echo "$step: passed"
