#!/usr/bin/env bash
# Takes a picture of the card search window after a search of a dozen
# emulated cards, under a private X server, and writes
# docs/screenshots/window.png.
#
#   scripts/screenshot-window.sh [build dir]      (default build/dev)
#
# The search runs the real library inside a private network made by
# scripts/private-lan.sh (needs root, as sudo when not run as root); nothing
# is sent on the machine's own network. With KESTRUM_SCRIPTED_CARDS=1 the
# window searches a dozen scripted cards instead, with no network at all.
# KESTRUM_CARDSIM_ARGS replaces the emulated cards (default: a dozen
# generated ones); KESTRUM_SCREENSHOT names another output file. With
# KESTRUM_CHANGE_WARNING=1 it pictures instead the question before a change of
# one of three scripted cards that share the factory address
# (docs/screenshots/change-warning.png), with no network at all. With
# KESTRUM_BATCH_PREVIEW=1 it pictures the batch dialog's preview over eight of
# a dozen scripted cards (docs/screenshots/batch-preview.png), no network.
# With KESTRUM_LANG=en each picture shows the English window, the window's as
# docs/screenshots/window-en.png.
set -euo pipefail
cd "$(dirname "$0")/.."

. scripts/common.sh

build_dir=${1:-build/dev}
configure_build_dir "$build_dir"
cmake --build "$build_dir" --target window_screenshot cardsim

warning=${KESTRUM_CHANGE_WARNING:-0}
default_output=docs/screenshots/window.png
[ "${KESTRUM_LANG:-}" = en ] && default_output=docs/screenshots/window-en.png
[ "$warning" = 1 ] && default_output=docs/screenshots/change-warning.png
batch=${KESTRUM_BATCH_PREVIEW:-0}
[ "$batch" = 1 ] && default_output=docs/screenshots/batch-preview.png
output=${KESTRUM_SCREENSHOT:-$default_output}
mkdir -p "$(dirname "$output")"
# A screen the size of the window, which is centred on it and so fills it.
screen=(env QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 929x430x24")
if [ "$batch" = 1 ]; then
  env QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1100x600x24" \
    "$build_dir/bin/window_screenshot" --batch-preview "$output"
elif [ "$warning" = 1 ]; then
  "${screen[@]}" "$build_dir/bin/window_screenshot" --change-warning "$output"
elif [ "${KESTRUM_SCRIPTED_CARDS:-0}" = 1 ]; then
  "${screen[@]}" "$build_dir/bin/window_screenshot" --scripted-cards "$output"
else
  as_root ./scripts/private-lan.sh --lans 1 --cardsim "$build_dir/bin/cardsim" \
    --cards 1 "${KESTRUM_CARDSIM_ARGS:---count 12 --base-ip 192.168.1.100}" \
    -- "${screen[@]}" "$(realpath "$build_dir/bin/window_screenshot")" "$(realpath -m "$output")"
fi
echo "wrote $output"
