#!/usr/bin/env bash
# Shows Allot's window on a machine without a display, to this machine only. Starts TigerVNC's X
# server (Xvnc) on a free display number, with a cookie that only this script's programs know,
# and its VNC port on 127.0.0.1 behind a password made up for this start; starts websockify on
# 127.0.0.1 to serve noVNC, so that a browser can be the VNC client, from that page only; runs
# the program on that display with Qt's xcb platform; prints once where to connect, the password
# and an SSH tunnel for other machines. When the program ends, or this script is stopped (Ctrl+C,
# SIGTERM, SIGHUP), it stops the program first (so that it saves), then the servers, and removes
# the password and the cookie; when the script is killed (SIGKILL), a watcher it started does
# the same. It exits with the program's status, or 1 when it cannot serve.
# Usage: serve-headless.sh PROGRAM [ARGUMENT...]
# ALLOT_VNC_PORT (5900) and ALLOT_WEB_PORT (6080) choose the ports.
set -euo pipefail

if [ "$#" -eq 0 ]; then
  echo "Usage: serve-headless.sh PROGRAM [ARGUMENT...]" >&2
  exit 2
fi
vnc_port=${ALLOT_VNC_PORT:-5900}
web_port=${ALLOT_WEB_PORT:-6080}
novnc=/usr/share/novnc

fail() {
  echo "serve-headless: $*" >&2
  exit 1
}

for tool in Xvnc vncpasswd websockify ss; do
  command -v "$tool" >/dev/null || fail "$tool is missing (bash scripts/setup.sh serve installs it)"
done
[ -f "$novnc/vnc.html" ] || fail "noVNC is missing (bash scripts/setup.sh serve installs it)"
for port in "$vnc_port" "$web_port"; do
  if ! [[ "$port" =~ ^[1-9][0-9]{0,4}$ ]] || [ "$port" -gt 65535 ]; then
    fail "'$port' is not a port number (1 to 65535)"
  fi
  if [ -n "$(ss -Hltn "sport = :$port")" ]; then
    fail "port $port is already in use on this machine; choose other ports with" \
         "ALLOT_VNC_PORT and ALLOT_WEB_PORT"
  fi
done
[ "$vnc_port" != "$web_port" ] || fail "ALLOT_VNC_PORT and ALLOT_WEB_PORT are both $vnc_port"

# The password, the cookie and the logs live in a folder of the user's alone: under the runtime
# folder only when no one else can rename or replace what is in it (a real folder of the user's
# that neither group nor others may write to), else a new one that mktemp makes. The folder is
# checked once made, before anything goes in.
private_parent() {
  local folder=${1%/}
  [ -d "$folder" ] && [ ! -L "$folder" ] && [ -O "$folder" ] &&
    (( (8#$(stat -c %a "$folder") & 8#022) == 0 ))
}
umask 077
parent=${TMPDIR:-/tmp}
if [ -n "${XDG_RUNTIME_DIR:-}" ] && private_parent "$XDG_RUNTIME_DIR"; then
  parent=$XDG_RUNTIME_DIR
fi
state=$(mktemp -d "$parent/allot-serve.XXXXXXXX") || fail "could not make a folder in $parent"
if [ ! -d "$state" ] || [ -L "$state" ] || [ ! -O "$state" ] ||
  [ "$(stat -c %a "$state")" != 700 ]; then
  fail "$state is not a folder of this user's alone"
fi

# Whether a process is still running: not ended, and not a zombie whose parent has yet to see it.
running() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) && [[ ${stat##*") "} != Z* ]]
}

# Whether any of the processes is running.
any_running() {
  local pid
  for pid; do running "$pid" && return 0; done
  return 1
}

# Sends SIGTERM to processes that are not this shell's children, and waits until they have
# ended, for $1 seconds at most: whether they have.
terminate() {
  local tenths=$(($1 * 10))
  shift
  kill -TERM "$@" 2>/dev/null
  while any_running "$@"; do
    ((tenths-- > 0)) || return 1
    sleep 0.1
  done
}

# Stops what this script started when the script ends without doing so itself (kill -9). Runs
# apart, reading from a pipe that only the script holds open (what it starts is given the pipe
# closed, 9>&-): "server PID" and "program PID" as they start, "stopped" once the script has
# stopped them. At the end of the pipe without "stopped", it stops the program first and waits
# for it, as the script does, so that it saves while its display exists; then the servers; then
# it removes the state folder. It ignores the signals that stop the script.
watch_over() {
  exec >/dev/null 2>&1
  trap '' INT TERM HUP
  set +e
  local line program='' servers=()
  while read -r line; do
    case $line in
      "program "*) program=${line#program } ;;
      "server "*) servers+=("${line#server }") ;;
      stopped) return ;;
    esac
  done
  if [ -n "$program" ]; then
    kill -TERM "$program"
    while running "$program"; do sleep 0.1; done
  fi
  if [ "${#servers[@]}" -gt 0 ] && ! terminate 5 "${servers[@]}"; then
    kill -KILL "${servers[@]}"
  fi
  rm -rf "$state"
}
exec 9> >(watch_over)
watchdog=$!

# State folders that a run left behind when it and its watcher were both killed: each names the
# script that made it, and one whose script no longer runs is removed. Only real folders of this
# user's are looked at.
echo "$$" >"$state/script-pid"
for left in "$parent"/allot-serve.*; do
  [ "$left" != "$state" ] && [ -d "$left" ] && [ ! -L "$left" ] && [ -O "$left" ] || continue
  pid=$(cat "$left/script-pid" 2>/dev/null) || continue
  [[ $pid =~ ^[0-9]+$ ]] || continue
  if ! running "$pid" || ! grep -qs serve-headless "/proc/$pid/cmdline"; then rm -rf "$left"; fi
done

server_pids=()
program_pid=
status=1
stop_all() {
  trap - EXIT INT TERM HUP
  if [ -n "$program_pid" ]; then
    kill -TERM "$program_pid" 2>/dev/null || true
    status=0
    wait "$program_pid" || status=$?
  fi
  for pid in "${server_pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  for pid in "${server_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$state"
  echo stopped >&9
  exec 9>&-
  wait "$watchdog" 2>/dev/null || true
  exit "$status"
}
trap stop_all EXIT INT TERM HUP

# VNC authentication reads eight characters of a password.
password=$(head -c 512 /dev/urandom | tr -dc 'A-Za-z0-9' | cut -c 1-8)
[ "${#password}" -eq 8 ] || fail "could not make up a password"
printf '%s\n' "$password" | vncpasswd -f >"$state/passwd"
# One MIT-MAGIC-COOKIE-1 entry for any display (family and display number left open), in the
# format of an X authority file, since the display number is known only once the server runs.
{
  printf '\377\377\0\0\0\0\0\022%s\0\020' MIT-MAGIC-COOKIE-1
  head -c 16 /dev/urandom
} >"$state/Xauthority"

# The servers run in sessions of their own, so that Ctrl+C reaches the program alone and it can
# save while its display still exists; stop_all stops them after it.
mkfifo "$state/display"
setsid Xvnc -displayfd 3 -auth "$state/Xauthority" -nolisten tcp -localhost \
  -interface 127.0.0.1 -rfbport "$vnc_port" -SecurityTypes VncAuth -PasswordFile "$state/passwd" \
  -AlwaysShared -desktop Allot -geometry 390x844 -depth 24 \
  3>"$state/display" >"$state/Xvnc.log" 2>&1 9>&- &
server_pids+=("$!")
echo "server $!" >&9
display=
read -r -t 20 display <"$state/display" || true
if [ -z "$display" ]; then
  tail -n 5 "$state/Xvnc.log" >&2
  fail "the VNC server did not start"
fi

# It lets in WebSocket clients from the page it serves only, so that other sites that the
# browser shows cannot reach the VNC server through it.
setsid websockify --web "$novnc" "127.0.0.1:$web_port" "127.0.0.1:$vnc_port" \
  --auth-plugin ExpectOrigin --auth-source "http://127.0.0.1:$web_port http://localhost:$web_port" \
  >"$state/websockify.log" 2>&1 9>&- &
server_pids+=("$!")
echo "server $!" >&9
for _ in $(seq 100); do
  [ -z "$(ss -Hltn "sport = :$web_port")" ] || break
  kill -0 "${server_pids[1]}" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$(ss -Hltn "sport = :$web_port")" ]; then
  tail -n 5 "$state/websockify.log" >&2
  fail "websockify did not start"
fi

# Without a session bus of the user's, a program on a display would have D-Bus start one for the
# display (dbus-launch), which outlives the program: an address where nothing listens prevents it.
bus=${DBUS_SESSION_BUS_ADDRESS:-unix:path=$state/no-session-bus}
DISPLAY=":$display" XAUTHORITY="$state/Xauthority" QT_QPA_PLATFORM=xcb \
  DBUS_SESSION_BUS_ADDRESS="$bus" "$@" 9>&- &
program_pid=$!
echo "program $program_pid" >&9

cat <<EOF
Allot is served on this machine only (127.0.0.1), with a password made up for this start.
  Browser:     http://127.0.0.1:$web_port/vnc.html?autoconnect=true&resize=scale
  VNC viewer:  vncviewer 127.0.0.1::$vnc_port
  Password:    $password
From another machine, forward the ports over SSH, then open the same addresses there:
  ssh -N -L $web_port:127.0.0.1:$web_port -L $vnc_port:127.0.0.1:$vnc_port ${USER:-$(id -un)}@$(hostname -f 2>/dev/null || hostname)
Stop with Ctrl+C.
EOF

status=0
wait "$program_pid" || status=$?
program_pid=
stop_all
