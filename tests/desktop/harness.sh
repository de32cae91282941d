# Shared by the desktop scenarios: an X server of their own with a window manager, the installed
# programs, and helpers that act as a user does (keys, mouse) and look as a user does (window
# pictures). Sourced by each scenario:
#
#   . "$(dirname "$0")/harness.sh"
#   dt_start "$@"          # arguments: the build folder and cmake; exits 77 without the X tools
#
# Pictures are kept in $KESTRAVE_SCREENSHOT_DIR when it is set. Windows report their status
# texts to $KESTRAVE_STATUS_LOG (one "kind<TAB>text..." line per change) when they support it;
# the scenarios read it when it is there and fall back to window titles and pictures otherwise.

set -u

DT_SCENARIO=$(basename "$0")
DT_PIDS=()

dt_log() { printf '[%s] %s\n' "$DT_SCENARIO" "$*" >&2; }

# Fails the scenario with a message a reader can act on; the window pictures stay behind.
dt_fail() {
  dt_log "FAIL: $*"
  dt_log "pictures and logs: ${KESTRAVE_SCREENSHOT_DIR:-$DT_WORK (removed)}"
  for log in "$DT_WORK"/*.log; do
    if [ ! -s "$log" ] || [ "$(basename "$log")" = install.log ]; then continue; fi
    dt_log "--- $(basename "$log") (last lines)"
    tail -n 15 "$log" >&2
  done
  exit 1
}

# A check that failed: fatal at once, or, with KESTRAVE_DESKTOP_KEEP_GOING=1, noted so that the
# scenario goes on and shows every fault in one run (dt_finish fails it at the end).
DT_FAULTS=0
dt_bad() {
  if [ -n "${KESTRAVE_DESKTOP_KEEP_GOING:-}" ]; then
    dt_log "FAIL (going on): $*"
    DT_FAULTS=$((DT_FAULTS + 1))
  else
    dt_fail "$@"
  fi
}

dt_finish() {
  [ "$DT_FAULTS" = 0 ] || dt_fail "$DT_FAULTS check(s) failed"
  dt_log "ok"
  exit 0
}

dt_require_tools() {
  local tool missing=()
  for tool in Xvfb xauth mcookie openbox xdotool xclip xdpyinfo xprop xwininfo xrefresh import \
    compare convert identify setxkbmap; do
    command -v "$tool" >/dev/null || missing+=("$tool")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "skipped: missing ${missing[*]}" >&2
    exit 77
  fi
}

# Everything this scenario started goes, newest first, then its files.
dt_teardown() {
  local i
  for ((i = ${#DT_PIDS[@]} - 1; i >= 0; i--)); do
    kill "${DT_PIDS[i]}" 2>/dev/null
  done
  for ((i = ${#DT_PIDS[@]} - 1; i >= 0; i--)); do
    dt_wait_exit "${DT_PIDS[i]}" 5 || kill -9 "${DT_PIDS[i]}" 2>/dev/null
  done
  rm -rf "$DT_WORK"
}

# Waits until a process started by this scenario has ended: dt_wait_exit PID SECONDS.
dt_wait_exit() {
  local pid=$1 tries=$(($2 * 10))
  while kill -0 "$pid" 2>/dev/null; do
    ((tries-- > 0)) || return 1
    sleep 0.1
  done
  wait "$pid" 2>/dev/null
  return 0
}

# Starts a program in the background with its output in NAME.log: dt_spawn NAME COMMAND...
# The process id is in $DT_LAST_PID.
dt_spawn() {
  local name=$1
  shift
  "$@" >>"$DT_WORK/$name.log" 2>&1 &
  DT_LAST_PID=$!
  DT_PIDS+=("$DT_LAST_PID")
}

# The X server picks a free display itself (-displayfd), so scenarios run side by side never
# meet; the cookie keeps other users' programs out.
dt_start_xserver() {
  local cookie fdfile=$DT_WORK/display
  cookie=$(mcookie)
  xauth -q -f "$DT_WORK/server.auth" add :0 . "$cookie" 2>/dev/null
  : >"$fdfile"
  Xvfb -displayfd 3 -noreset -auth "$DT_WORK/server.auth" -nolisten tcp \
    -screen 0 1280x1024x24 3>"$fdfile" >>"$DT_WORK/xvfb.log" 2>&1 &
  DT_PIDS+=($!)
  local tries=100
  until [ -s "$fdfile" ]; do
    ((tries-- > 0)) || dt_fail "the X server did not start"
    sleep 0.1
  done
  DISPLAY=:$(tr -dc '0-9' <"$fdfile")
  export DISPLAY
  export XAUTHORITY=$DT_WORK/client.auth
  xauth -q -f "$XAUTHORITY" add "$DISPLAY" . "$cookie" 2>/dev/null
  tries=100
  until xdpyinfo >/dev/null 2>&1; do
    ((tries-- > 0)) || dt_fail "the X server on $DISPLAY does not answer"
    sleep 0.1
  done
}

dt_start_window_manager() {
  dt_spawn openbox openbox --sm-disable
  local tries=100
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    ((tries-- > 0)) || dt_fail "the window manager did not start"
    sleep 0.1
  done
}

# Installs the build the way a user installs it, into a prefix of this scenario's own.
dt_install() {
  local build=$1 cmake=$2
  "$cmake" --install "$build" --prefix "$DT_WORK/prefix" >"$DT_WORK/install.log" 2>&1 ||
    dt_fail "cmake --install failed"
  DT_PREFIX=$DT_WORK/prefix
  DT_BIN=$DT_PREFIX/bin
}

# dt_start BUILD_DIR CMAKE: the whole stage, torn down when the scenario exits.
dt_start() {
  [ $# -ge 2 ] || {
    echo "usage: $0 BUILD_DIR CMAKE" >&2
    exit 2
  }
  dt_require_tools
  # shellcheck disable=SC2034 # for the scenarios
  DT_BUILD=$(cd "$1" && pwd)
  # shellcheck disable=SC2034
  DT_SOURCE=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  DT_WORK=$(mktemp -d "${TMPDIR:-/tmp}/kestrave-desktop.XXXXXX")
  DT_SHOTS=${KESTRAVE_SCREENSHOT_DIR:-$DT_WORK}
  mkdir -p "$DT_SHOTS"
  trap dt_teardown EXIT
  trap 'exit 1' INT TERM
  export HOME=$DT_WORK/home XDG_CONFIG_HOME=$DT_WORK/home/.config
  export XDG_RUNTIME_DIR=$DT_WORK/runtime XDG_DATA_HOME=$DT_WORK/home/.local/share
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME"
  chmod 700 "$XDG_RUNTIME_DIR"
  export KESTRAVE_STATUS_LOG=$DT_WORK/status.log
  export QT_QPA_PLATFORM=xcb LANG=${DT_LANG:-C.UTF-8} LC_ALL=${DT_LANG:-C.UTF-8}
  unset LANGUAGE SESSION_MANAGER QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
  dt_install "$1" "$2"
  dt_start_xserver
  dt_start_window_manager
}

# --- Windows ----------------------------------------------------------------------------------

# Prints the id of the first visible window whose name matches the pattern (an extended regular
# expression), waiting for it: dt_wait_window PATTERN [SECONDS [PID]].
dt_wait_window() {
  local pattern=$1 tries=$((${2:-20} * 10)) pid=${3:-} ids
  while true; do
    if [ -n "$pid" ]; then
      ids=$(xdotool search --all --onlyvisible --pid "$pid" --name "$pattern" 2>/dev/null)
    else
      ids=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null)
    fi
    if [ -n "$ids" ]; then
      echo "$ids" | head -n 1
      return 0
    fi
    ((tries-- > 0)) || return 1
    sleep 0.1
  done
}

# Succeeds while no visible window's name matches: dt_no_window PATTERN.
dt_no_window() {
  [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]
}

# Waits until no visible window's name matches: dt_wait_no_window PATTERN [SECONDS].
dt_wait_no_window() {
  local tries=$((${2:-10} * 10))
  until dt_no_window "$1"; do
    ((tries-- > 0)) || return 1
    sleep 0.1
  done
}

dt_window_name() { xdotool getwindowname "$1" 2>/dev/null; }

# Waits until the window's name matches: dt_wait_window_name WID PATTERN [SECONDS].
dt_wait_window_name() {
  local tries=$((${3:-10} * 10))
  until dt_window_name "$1" | grep -Eq -- "$2"; do
    ((tries-- > 0)) || return 1
    sleep 0.1
  done
}

# Gives the window the keyboard, as a click on its title would, and waits until it has it.
dt_focus() {
  local wid=$1 tries=50
  while [ "$(xdotool getactivewindow 2>/dev/null)" != "$wid" ]; do
    ((tries-- > 0)) || dt_fail "window $wid ($(dt_window_name "$wid")) does not take the focus"
    xdotool windowactivate "$wid" 2>/dev/null
    sleep 0.1
  done
  sleep 0.2 # the toolkit learns of the focus through its own events
}

# Closes a window as its close button does (the window manager's Alt+F4 asks it to close),
# asking once more if the first request went astray.
dt_close() {
  local _
  for _ in 1 2; do
    dt_window_shown "$1" || return 0
    xdotool windowactivate "$1" 2>/dev/null
    sleep 0.3
    dt_key alt+F4
    dt_wait_gone "$1" 4 && return 0
  done
}

# Keys go to the focused window, as from a keyboard: dt_key KEY...
dt_key() { xdotool key --delay 60 "$@"; }
dt_type() { xdotool type --delay 40 -- "$1"; }

# Window geometry into WX WY WW WH: the screen position of the window's client area and its
# size (xwininfo's absolute position; xdotool's counts the frame twice under a window manager).
dt_geometry() {
  local line
  WX='' WY='' WW='' WH=''
  while read -r line; do
    case $line in
      'Absolute upper-left X:'*) WX=${line##* } ;;
      'Absolute upper-left Y:'*) WY=${line##* } ;;
      'Width:'*) WW=${line##* } ;;
      'Height:'*) WH=${line##* } ;;
    esac
  done < <(xwininfo -id "$1" 2>/dev/null)
  [ -n "$WH" ] || dt_fail "window $1 is gone"
}

# Moves the pointer to a point of the window: dt_mouse_at WID X Y.
dt_mouse_at() { xdotool mousemove --window "$1" "$2" "$3"; }

# --- Pictures ---------------------------------------------------------------------------------

# Photographs a window into $DT_SHOTS: dt_shot WID NAME; the picture's path is in $DT_SHOT.
dt_shot() {
  DT_SHOT=$DT_SHOTS/$DT_SCENARIO-$2.png
  import -window "$1" "$DT_SHOT" 2>>"$DT_WORK/import.log" || dt_fail "cannot photograph window $1"
}

# Number of pixels in which two pictures differ (the sizes must agree).
dt_pixels_differ() {
  local n
  n=$(compare -metric AE "$1" "$2" null: 2>&1)
  case $n in
    '' | *[!0-9]*) echo 999999999 ;; # sizes differ, or no picture
    *) echo "$n" ;;
  esac
}

# Waits until the window stops changing (two pictures a quarter second apart agree) and
# photographs it: dt_shot_at_rest WID NAME; the picture's path is in $DT_SHOT.
dt_shot_at_rest() {
  local wid=$1 name=$2 previous tries=40
  dt_shot "$wid" "$name"
  previous=$DT_SHOT
  while ((tries-- > 0)); do
    sleep 0.25
    dt_shot "$wid" "$name.next"
    if [ "$(dt_pixels_differ "$previous" "$DT_SHOT")" = 0 ]; then
      rm -f "$DT_SHOT"
      break
    fi
    mv "$DT_SHOT" "$previous"
  done
  DT_SHOT=$previous
}

# Makes the window draw everything anew: a resize repaints every widget (an expose only copies
# what was drawn before). Smaller first, then back: a view keeps its scroll position when it
# shrinks, where growing could clamp it.
dt_force_repaint() {
  local wid=$1
  dt_geometry "$wid"
  local w=$WW h=$WH
  xdotool windowsize "$wid" $((w - 40)) "$h"
  dt_wait_size "$wid" $((w - 40)) "$h"
  sleep 0.2
  xdotool windowsize "$wid" "$w" "$h"
  dt_wait_size "$wid" "$w" "$h"
}

dt_wait_size() {
  local tries=50
  while true; do
    dt_geometry "$1"
    [ "$WW" = "$2" ] && [ "$WH" = "$3" ] && return 0
    ((tries-- > 0)) || return 1
    sleep 0.1
  done
}

# What the user sees at rest is what the window draws when made to draw everything again:
# dt_expect_rest_equals_repaint WID NAME [REPAINT_COMMAND...] (default: a resize there and back).
dt_expect_rest_equals_repaint() {
  local wid=$1 name=$2 rest again differ
  shift 2
  dt_shot_at_rest "$wid" "$name-rest"
  rest=$DT_SHOT
  if [ $# -gt 0 ]; then "$@"; else dt_force_repaint "$wid"; fi
  dt_shot_at_rest "$wid" "$name-repainted"
  again=$DT_SHOT
  differ=$(dt_pixels_differ "$rest" "$again")
  [ "$differ" = 0 ] ||
    dt_bad "$name: the window at rest differs from its forced repaint in $differ pixels ($rest, $again)"
  # shellcheck disable=SC2034 # for the scenarios
  DT_REST_SHOT=$rest
}

# True when the picture shows at most two colours (a window that was not drawn).
dt_is_blank() { [ "$(identify -format '%k' "$1" 2>/dev/null)" -le 2 ]; }

# Fails unless the picture shows more than one colour (a blank window has one).
dt_expect_not_blank() {
  local colours
  colours=$(identify -format '%k' "$1" 2>/dev/null)
  [ "${colours:-0}" -gt 2 ] || dt_bad "$2: the window is blank ($1, $colours colours)"
}

# --- Status texts -----------------------------------------------------------------------------

# True once the programs have reported a status text (they do when they support the log).
dt_have_status_log() { [ -s "$KESTRAVE_STATUS_LOG" ]; }

# Later waits look only at what was reported after this point.
dt_status_mark() {
  DT_STATUS_FROM=$(wc -l 2>/dev/null <"$KESTRAVE_STATUS_LOG" || echo 0)
}

dt_status_since_mark() {
  tail -n +$((${DT_STATUS_FROM:-0} + 1)) "$KESTRAVE_STATUS_LOG" 2>/dev/null
}

# Waits until a line reported since the mark matches (an extended regular expression; fields
# are separated by tabs): dt_wait_status PATTERN [SECONDS].
dt_wait_status() {
  local tries=$((${2:-10} * 10))
  until dt_status_since_mark | grep -Eaq -- "$1"; do
    ((tries-- > 0)) || return 1
    sleep 0.1
  done
}

# The last reported line of one kind ("status", "title").
dt_last_status() { grep -a "^$1	" "$KESTRAVE_STATUS_LOG" 2>/dev/null | tail -n 1; }

# --- Files ------------------------------------------------------------------------------------

# Waits until a file has exactly the expected content: dt_wait_file_equals FILE EXPECTED [SECONDS].
dt_wait_file_equals() {
  local tries=$((${3:-10} * 10))
  until cmp -s "$1" "$2"; do
    ((tries-- > 0)) || return 1
    sleep 0.1
  done
}

# --- The hex window ---------------------------------------------------------------------------

# Starts kestrave-hex on a file (or none) and waits for its window, placed at a fixed spot with
# room below it and given the keyboard: dt_start_hex NAME [FILE]. Sets DT_HEX_PID and DT_HEX_WID.
dt_start_hex() {
  local name=$1
  shift
  dt_spawn "$name" "$DT_BIN/kestrave-hex" "$@"
  DT_HEX_PID=$DT_LAST_PID
  DT_HEX_WID=$(dt_wait_window ' - kestrave-hex$' 20 "$DT_HEX_PID") ||
    dt_fail "kestrave-hex $* shows no window"
  dt_place "$DT_HEX_WID" "${DT_PLACE_X:-20}" "${DT_PLACE_Y:-40}"
  dt_focus "$DT_HEX_WID"
}

# Moves a window to a point of the screen and waits until it is there: dt_place WID X Y.
dt_place() {
  local tries=30
  xdotool windowmove "$1" "$2" "$3"
  while ((tries-- > 0)); do
    dt_geometry "$1"
    [ "$WX" -ge "$2" ] && [ "$WY" -ge "$3" ] && [ "$WX" -le $(($2 + 20)) ] &&
      [ "$WY" -le $(($3 + 40)) ] && return 0
    sleep 0.1
  done
}

# Opens a submenu of the menu bar by keyboard and picks its n-th entry (1 = first), as a user
# does with Alt+letter, the submenu's letter, arrows and Return: dt_menu_pick ALT_KEY SUB_KEY N.
dt_menu_pick() {
  local downs=() i
  for ((i = 1; i < $3; i++)); do downs+=(Down); done
  dt_key "alt+$1"
  sleep 0.3
  dt_key "$2"
  sleep 0.3
  [ ${#downs[@]} -gt 0 ] && dt_key "${downs[@]}"
  dt_key Return
  sleep 0.3
}

# Triggers an entry of a menu of the menu bar by its letters: dt_menu_key ALT_KEY KEY.
dt_menu_key() {
  dt_key "alt+$1"
  sleep 0.3
  dt_key "$2"
  sleep 0.3
}

# Waits until a dialog whose title matches has the keyboard (dialogs take it when they open):
# dt_wait_dialog PATTERN [SECONDS [NOT_THIS_WINDOW]]. Sets DT_DIALOG.
dt_wait_dialog() {
  local tries=$((${2:-10} * 10)) active
  while ((tries-- > 0)); do
    active=$(xdotool getactivewindow 2>/dev/null)
    if [ -n "$active" ] && [ "$active" != "${3:-}" ] &&
      dt_window_name "$active" | grep -Eq -- "$1"; then
      DT_DIALOG=$active
      sleep 0.3 # its widgets settle before keys come
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# True while the window is on the screen.
dt_window_shown() { xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }

# Waits until a window is no longer shown: dt_wait_gone WID [SECONDS].
dt_wait_gone() {
  local tries=$((${2:-10} * 10))
  while dt_window_shown "$1"; do
    ((tries-- > 0)) || return 1
    sleep 0.1
  done
}

# Types a path into the file dialog of that title and accepts it:
# dt_answer_file_dialog PATTERN PATH [NOT_THIS_WINDOW].
dt_answer_file_dialog() {
  dt_wait_dialog "$1" 10 "${3:-}" || dt_fail "no \"$1\" dialog appeared"
  dt_key ctrl+a
  dt_type "$2"
  sleep 0.2
  dt_key Return
  dt_wait_gone "$DT_DIALOG" 10 || dt_fail "the \"$1\" dialog did not take $2"
}
