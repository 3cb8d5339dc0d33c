#!/usr/bin/env bash
# The program's windows under Wine on the large generated catalogue (29,999 companies, 3,000
# nodes, 60,000 listings, 300,000 products) beside the sample catalogue, by turns in one run:
# start-up to the window shown, filled and answering; a selection to a painted list; a sort; the
# notebook view of 500 entries (the same file in both, so its ratio shows it does not depend on
# the catalogue).
#
#   cmake --preset win64 && cmake --build --preset win64 -j2 && bench/window_bench.sh [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-5}
bench="$root/build/win64/window_bench.exe"
source "$root/scripts/wine-env"
trap wine_env_cleanup EXIT
work=$(mktemp -d)
trap 'rm -rf "$work"; wine_env_cleanup' EXIT
cd "$work"
/usr/lib/wine/wine64 "$bench" --make-large large.bin
for ((i = 0; i < rounds; i++)); do
    for which in sample large; do
        file=$([ "$which" = sample ] && echo "$root/build/win64/Kovanta.exe" || echo large.bin)
        echo "$which $(/usr/lib/wine/wine64 "$bench" "$file" | tr -d '\r')" | tee -a runs.txt
    done
done
python3 - runs.txt <<'PY'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    words = line.split()
    runs.setdefault(words[0], []).append(dict(zip(words[1::2], map(float, words[2::2]))))
print(f"\nmedians of {len(runs['large'])} runs each      sample     large   large/sample")
for key in ["startup_ms", "data_ms", "window_ms", "select_groups_ms", "select_companies_ms", "sort_ms", "paint_ms", "search_hits_ms", "search_none_ms", "notebook_ms", "notebook_fill_ms", "notebook_read_ms",
            "data_memory_ms", "data_tempfile_ms", "data_peak_mib", "database_mib", "data_peak_ratio"]:
    s = statistics.median(r[key] for r in runs["sample"])
    l = statistics.median(r[key] for r in runs["large"])
    print(f"  {key:24} {s:9.1f} {l:9.1f}   {l / s if s else 0:6.2f}x")
for key in ["rows", "tree_items", "hits", "notebook_rows"]:
    print(f"  {key:24} {runs['sample'][0].get(key, 0):9.0f} {runs['large'][0].get(key, 0):9.0f}")
PY
