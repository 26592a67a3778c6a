# Shared by scripts/play, scripts/test and scripts/screenshots (sourced, not run): installs the
# Debian packages of scripts/packages.txt that are missing (through sudo when not root), and starts
# and stops a private X server for the tests and screenshots.
install_missing_packages() {
  local list="$1" missing=() pkg
  while read -r pkg; do
    pkg=${pkg%%#*}
    pkg=${pkg//[[:space:]]/}
    [ -z "$pkg" ] && continue
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$pkg")
  done <"$list"
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
}

# Starts a private Xvfb on the first free display number from $2 on (default 90), with the screen
# size $1 (default 1280x1024x24) and a keyboard auto-repeat that starts after 200 ms and repeats
# every 100 ms, and waits until it answers. Sets DISPLAY and XVFB_PID; stop_xvfb ends it.
# -noreset: by default the server resets whenever its last client leaves and refuses new
# connections meanwhile, so a program started right after another one ended could fail to open.
start_xvfb() {
  local screen=${1:-1280x1024x24} display=${2:-90}
  while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
    display=$((display + 1))
  done
  Xvfb ":$display" -screen 0 "$screen" -ardelay 200 -arinterval 100 -nolisten tcp -noreset \
    </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$display"
  local _
  for _ in $(seq 100); do
    timeout 5 xdpyinfo </dev/null >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY"
  stop_xvfb
  return 1
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
}
