#!/usr/bin/env bash
# spktool's SVG of three designs, rendered by a real renderer (rsvg-convert), against
# what the graph window paints for the same designs (ChartPictureTest in gui_tests).
#   chart-picture.sh SPKTOOL_EXE GUI_TESTS_EXE
set -euo pipefail
tool=$(realpath "$1") gui=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
spktool() { wine "$tool" "$@" >/dev/null; }
spktool new woofer.spk qts=0.38 vas=45 fs=32 sealed.volume=13 sealed.fb=59.5 \
    ported.volume=42 ported.fb=32.1
spktool new sub.spk qts=0.45 vas=95 fs=25 sealed.volume=38.5 sealed.fb=39.3
spktool chart woofer.spk woofer.spk:ported sub.spk:sealed -o chart.svg
rsvg-convert -b white -o chart.png chart.svg
convert chart.png -depth 8 chart.ppm
KALVORA_CHART_PICTURE=chart.ppm \
KALVORA_CHART_DESIGNS="woofer.spk:sealed;woofer.spk:ported;sub.spk:sealed" \
    wine "$gui" --gtest_filter=ChartPictureTest.*
