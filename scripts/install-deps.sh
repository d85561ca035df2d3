#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, only when missing.
set -euo pipefail

packages=(
  cmake g++ make
  qtbase5-dev libqt5serialport5-dev qttools5-dev qttools5-dev-tools
  libpcap-dev         # capture files
  fonts-liberation    # metric-compatible Arial for the English interface
  fonts-wqy-microhei  # Chinese texts in the Chinese wiring diagram
  xvfb xdotool        # the single-instance test answers a real warning box
  libdime-dev         # DXF drawings in and out
  libyaml-cpp-dev     # the ROS 2 collision monitor's polygons
  libqt5svg5-dev      # SVG pictures of the displays
  ccache              # the README check's build takes what the test build compiled
  poppler-utils       # the report test reads the PDF's pages and text
  dpkg-dev            # the Debian package's Depends (dpkg-shlibdeps)
  desktop-file-utils bash-completion  # the package check: its menu entry and completion
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
