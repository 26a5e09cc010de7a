#!/usr/bin/env bash
# Takes docs/screenshot.png: Telvarn under Xvfb with the simulated programmer,
# its "Программатор" menu opened. Builds build/Telvarn first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
for package in xdotool imagemagick; do
    dpkg -s "$package" >/dev/null 2>&1 || {
        [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
        DEBIAN_FRONTEND=noninteractive ${sudo_cmd:-} apt-get install -y -qq "$package"
    }
done
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target Telvarn >/dev/null

workdir=$(mktemp -d)
cp build/Telvarn "$workdir/"
cat > "$workdir/shoot.sh" <<'INNER'
set -euo pipefail
cd "$1"
TELVARN_SIMULATOR=normal TELVARN_PORTS= ./Telvarn &
pid=$!
for _ in $(seq 1 100); do
    window=$(xdotool search --name '^Telvarn$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.2
done
sleep 1.5
xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool key --window "$window" alt 2>/dev/null || true
# Open "Программатор" by clicking its title in the menu bar.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 215)) $((Y + 12)) click 1
sleep 1
import -window root "$2"
kill "$pid"
INNER
xvfb-run -a -s "-screen 0 900x520x24" bash "$workdir/shoot.sh" "$workdir" "$PWD/docs/screenshot.png"
rm -rf "$workdir"
echo "docs/screenshot.png written"
