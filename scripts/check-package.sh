#!/usr/bin/env bash
# Makes the Debian package from a build folder (build-tests unless named) and checks it: the
# files it installs and nothing else, the logging configuration as a conffile, the Depends
# computed from the programs, the menu entry and the completion, and that the programs unpacked
# from it start. The package is left in the build folder.
#   scripts/check-package.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-tests}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "check-package: $*" >&2
  exit 1
}

(cd "$build" && cpack -G DEB >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$work/cpack.log")
[ -f "$deb" ] || fail "cpack named no package"
version=$(dpkg-deb -f "$deb" Version)

expected="./etc/vks20/Log4Qt.properties
./usr/bin/vks20
./usr/bin/vks20-cli
./usr/bin/vks20-sim
./usr/share/applications/vks20.desktop
./usr/share/bash-completion/completions/vks20-cli
./usr/share/icons/hicolor/256x256/apps/vks20.png
./usr/share/man/man1/vks20-cli.1.gz
./usr/share/man/man1/vks20-sim.1.gz
./usr/share/man/man1/vks20.1.gz
./usr/share/metainfo/vks20.metainfo.xml"
files=$(dpkg-deb -c "$deb" | awk '/^-/ { print $6 }' | LC_ALL=C sort)
[ "$files" = "$(LC_ALL=C sort <<<"$expected")" ] ||
  fail "the package holds other files than these:"$'\n'"$(diff <(LC_ALL=C sort <<<"$expected") - <<<"$files")"

[ "$(dpkg-deb -I "$deb" conffiles)" = /etc/vks20/Log4Qt.properties ] ||
  fail "/etc/vks20/Log4Qt.properties is not the one conffile"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt5core5a libqt5network5 libqt5serialport5 libqt5widgets5; do
  grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/vks20.desktop"
for page in "$root"/usr/share/man/man1/*.gz; do
  gzip -t "$page"
done

# The completion, as installed, offers what the command line takes.
completes() {
  # bash-completion is written for interactive shells, not for this script's strict mode.
  set +euo pipefail
  # shellcheck disable=SC1091
  source /usr/share/bash-completion/bash_completion
  # shellcheck disable=SC1091
  source "$root/usr/share/bash-completion/completions/vks20-cli"
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  _vks20_cli
  printf '%s\n' "${COMPREPLY[@]}"
}
(completes vks20-cli --udp 127.0.0.1:5020 regions "" | grep -qx fingerprint) ||
  fail "the completion does not offer regions fingerprint"
(completes vks20-cli regions export in.dat --n | grep -qx -- --nav2) ||
  fail "the completion does not offer regions export --nav2"

# Unpacked, where nothing is installed: the user's folders are temporary ones. The program
# says that it finds no /etc/vks20/Log4Qt.properties, and starts all the same.
mkdir -m 700 "$work/runtime"
export HOME=$work XDG_STATE_HOME=$work/state XDG_CONFIG_HOME=$work/config \
  XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen
[ "$("$root/usr/bin/vks20-cli" --version)" = "vks20-cli $version" ] || fail "vks20-cli --version"
# Read whole before searching, so that no program writes into a closed pipe.
help=$("$root/usr/bin/vks20" --help)
grep -q -- --serial <<<"$help" || fail "vks20 --help lists no --serial"
help=$("$root/usr/bin/vks20-sim" --help)
grep -q -- --pty-link <<<"$help" || fail "vks20-sim --help lists no --pty-link"
echo "check-package: $deb holds ${files//$'\n'/ }"
