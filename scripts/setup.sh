#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Allot need, and only those that
# are missing. Runs as root on Debian 12 (or with sudo available).
# Usage: setup.sh [GROUP...], each GROUP one of core, app, serve, browser, package or all (default).
# core is always included; app adds the Qt window; serve what shows it without a display (a VNC
# server, noVNC and websockify); browser a headless Chromium for the browser test; package what
# builds and checks the Debian package.
set -euo pipefail

core_packages=(
  build-essential cmake ninja-build pkg-config clang-format
  libicu-dev libsqlite3-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)
# The Qt Quick window: Qt 6 to build it, what the program needs at run time (the QML modules the
# screens import, the platform plugins, the SVG icon loader: the list the package depends on), and
# fonts with emoji.
mapfile -t runtime_packages < <(grep -v '^#' "$(dirname "$0")/../packaging/runtime-packages")
screen_packages=(
  qt6-base-dev qt6-declarative-dev libgl-dev libxcb1-dev "${runtime_packages[@]}"
  fonts-dejavu-core fonts-noto-color-emoji
)
# Without a display (scripts/serve-headless.sh): TigerVNC's X server and its password tool, xauth
# for the display's cookie, noVNC and websockify for a browser, ss to see what listens.
serve_packages=(tigervnc-standalone-server tigervnc-tools xauth novnc websockify iproute2)
# The browser test (tests/serve): Chromium driven through WebDriver from Python.
browser_packages=(chromium chromium-driver python3-selenium)
# The screen tests and screenshots on a desktop's terms: qt6ct supplies a dark palette through the
# platform theme, Xvfb a real X display for the window, openbox a window manager on it, xdotool the
# keys, a session bus with AT-SPI and pyatspi a screen reader's view, and glibc's German and
# American English locales the user's language.
desk_packages=(qt6ct xvfb openbox xdotool dbus-daemon dbus-bin at-spi2-core python3-pyatspi locales)
desk_locales=(de_DE.UTF-8 en_US.UTF-8)
# scripts/check-package.sh: lintian and AppStream's validator.
package_packages=(lintian appstream)
# Sanitizer and fuzzing builds (scripts/hardening.sh): clang with libFuzzer and the sanitizer
# runtimes, and llvm-symbolizer for readable reports.
hardening_packages=(clang libclang-rt-14-dev llvm-14)
groups=("$@")
[ "${#groups[@]}" -gt 0 ] || groups=(all)
packages=("${core_packages[@]}")
for group in "${groups[@]}"; do
  case "$group" in
    core) ;;
    app) packages+=("${screen_packages[@]}") ;;
    serve) packages+=("${screen_packages[@]}" "${serve_packages[@]}") ;;
    browser) packages+=("${browser_packages[@]}") ;;
    package) packages+=("${screen_packages[@]}" "${package_packages[@]}") ;;
    all) packages+=("${screen_packages[@]}" "${desk_packages[@]}" "${serve_packages[@]}"
                    "${browser_packages[@]}" "${package_packages[@]}" "${hardening_packages[@]}") ;;
    *) echo "setup.sh: unknown group '$group' (core, app, serve, browser, package, all)" >&2
       exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi

# The desktop's locales, generated once.
if [[ " ${packages[*]} " == *" locales "* ]]; then
  for wanted in "${desk_locales[@]}"; do
    if ! locale -a 2>/dev/null | grep -qix "${wanted/UTF-8/utf8}"; then
      "${sudo_cmd[@]}" sed -i -E "s/^# *(${wanted} UTF-8)/\1/" /etc/locale.gen
      "${sudo_cmd[@]}" locale-gen >/dev/null
    fi
  done
fi
