#!/bin/bash
# The real command line: a gang of four, one silent and one whose cable comes
# out, writes the journal of its chips; Python's csv module reads it back.
set -euo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A data file's path may hold a comma, a quote and a line end.
data="$work/партия 7, \"A\"
chip.txt"
printf '0\n7\n30000\n' >"$data"
journal="$work/journal.csv"
run() {
    local expected=$1
    shift
    local status=0
    TELVARN_PORTS= TELVARN_SIMULATOR= timeout 120 "$cli" "$@" --gang --journal "$journal" \
        >"$work/out" 2>"$work/err" || status=$?
    if [ "$status" -ne "$expected" ]; then
        echo "telvarn-cli $* exited $status, expected $expected" >&2
        cat "$work/out" "$work/err" >&2
        exit 1
    fi
}
run 1 program "$data" --simulator normal,silent,unplug,normal \
    --port SIM1 --port SIM2 --port SIM3 --port SIM4
python3 - "$journal" "$data" <<'EOF'
import csv, re, sys

journal, data = sys.argv[1], sys.argv[2]
with open(journal, newline="", encoding="utf-8") as f:
    rows = list(csv.reader(f))
header = ["time", "port", "serial", "firmware", "operation", "file", "crc32", "variant",
          "result", "phase", "seconds"]
assert rows[0] == header, rows[0]
records = [dict(zip(header, row)) for row in rows[1:]]
assert all(r["operation"] == "program" for r in records), records
chips = {r["port"]: r for r in records}
assert sorted(chips) == ["SIM1", "SIM3", "SIM4"], chips
for port, serial in (("SIM1", "00012345"), ("SIM4", "00012348")):
    assert chips[port]["result"] == "ok" and chips[port]["phase"] == "", chips[port]
    assert chips[port]["serial"] == serial, chips[port]
assert chips["SIM3"]["result"] == "failed" and chips["SIM3"]["phase"] != "", chips["SIM3"]
for r in chips.values():
    assert r["file"] == data, r["file"]
    assert re.fullmatch(r"[0-9A-F]{8}", r["crc32"]), r
    assert r["variant"] == "9912ЛК047", r
for r in records:
    assert re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d", r["time"]), r["time"]
    assert re.fullmatch(r"\d+\.\d{3}", r["seconds"]), r["seconds"]
EOF
echo "gang journal: OK"
