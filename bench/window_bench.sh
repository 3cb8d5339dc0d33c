#!/usr/bin/env bash
# The program's windows under Wine on the large generated catalogue (29,999 companies, 3,000
# nodes, 60,000 listings, 300,000 products) beside the sample catalogue, by turns in one run:
# start-up to the window shown, filled and answering (the real program watched from outside, and
# the same steps inside the harness with their parts); a selection to a painted list; a sort; a
# search; the notebook view of 500 entries (the same file in both, so its ratio shows it does not
# depend on the catalogue). With both builds, each round runs the i686 release (32-bit Wine) and
# the x86_64 build one after the other, so a noisy machine weighs on both alike.
#
# With --anchor, another checkout's builds (an earlier program, built with KOVANTA_BENCH=ON)
# run by turns with this one's, and the large catalogue's figures are shown beside them.
#
#   cmake --preset win32 && cmake --build --preset win32 -j2     (and/or the win64 preset)
#   bench/window_bench.sh [--build win32|win64|both] [--anchor CHECKOUT] [ROUNDS]
#                                                                 (default: both, 5 rounds)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds=(win32 win64)
if [ "${1:-}" = --build ]; then
    case ${2:-} in
    win32 | win64) builds=("$2") ;;
    both) ;;
    *)
        echo "usage: bench/window_bench.sh [--build win32|win64|both] [ROUNDS]" >&2
        exit 2
        ;;
    esac
    shift 2
fi
anchor=
if [ "${1:-}" = --anchor ]; then
    anchor=$(cd "${2:?--anchor takes a checkout}" && pwd)
    shift 2
fi
rounds=${1:-5}
roots=("$root")
[ -n "$anchor" ] && roots+=("$anchor")
loader() { [ "$1" = win32 ] && echo /usr/lib/wine/wine || echo /usr/lib/wine/wine64; }
for tree in "${roots[@]}"; do
    for build in "${builds[@]}"; do
        if [ ! -f "$tree/build/$build/window_bench.exe" ] || [ ! -f "$tree/build/$build/Kovanta.exe" ]; then
            echo "no $tree/build/$build/window_bench.exe or Kovanta.exe: cmake --preset $build && cmake --build --preset $build" >&2
            exit 1
        fi
    done
done
source "$root/scripts/wine-env"
work=$(mktemp -d)
trap 'rm -rf "$work"; wine_env_cleanup' EXIT
cd "$work"
run() { "$(loader "$build")" "$tree/build/$build/window_bench.exe" "$@" | tr -d '\r'; }
# Each build's own program image with the large catalogue behind it, as the packer makes it.
for t in "${!roots[@]}"; do
    tree=${roots[$t]}
    for build in "${builds[@]}"; do
        run --make-large "large-$build-$t.exe" "$tree/build/$build/Kovanta-program.exe"
    done
done
for ((i = 0; i < rounds; i++)); do
    for build in "${builds[@]}"; do
        for which in sample large; do
            for t in "${!roots[@]}"; do
                tree=${roots[$t]}
                # The anchor's runs are kept apart, under the build's name with "-anchor".
                name=$build
                if [ "$t" -gt 0 ]; then
                    [ "$which" = large ] || continue
                    name=$build-anchor
                fi
                file=$([ "$which" = sample ] && echo "$tree/build/$build/Kovanta.exe" || echo "large-$build-$t.exe")
                # The real program watched from outside, the same steps timed inside this
                # harness, and the data path's peak memory alone.
                echo "$name $which $(run --start "$file") $(run "$file") $(run --data-peak "$file")" |
                    tee -a runs.txt
            done
        done
    done
done
python3 - runs.txt <<'PY'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    words = line.split()
    runs.setdefault((words[0], words[1]), []).append(dict(zip(words[2::2], map(float, words[3::2]))))
builds = sorted({b for b, _ in runs if not b.endswith("-anchor")})
timed = ["real_startup_ms", "startup_ms", "before_main_ms", "data_ms", "program_ms", "select_groups_ms", "select_companies_ms", "sort_ms", "paint_ms",
         "search_hits_ms", "search_none_ms", "search_find_ms", "message_box_ms", "notebook_ms", "notebook_fill_ms", "notebook_read_ms",
         "history_1k_ms", "history_10k_ms",
         "data_memory_ms", "data_tempfile_ms", "data_peak_mib", "database_mib", "data_peak_ratio"]
med = lambda b, w, k: statistics.median(r[k] for r in runs[(b, w)])
for b in builds:
    print(f"\n{b}: medians of {len(runs[(b, 'large')])} runs each      sample     large   large/sample")
    for key in timed:
        s, l = med(b, "sample", key), med(b, "large", key)
        print(f"  {key:24} {s:9.1f} {l:9.1f}   {l / s if s else 0:6.2f}x")
    for key in ["group_rows", "company_rows", "tree_items", "hits", "notebook_rows"]:
        print(f"  {key:24} {runs[(b, 'sample')][0].get(key, 0):9.0f} {runs[(b, 'large')][0].get(key, 0):9.0f}")
for b in builds:
    h1, h10 = med(b, "large", "history_1k_ms"), med(b, "large", "history_10k_ms")
    print(f"\n{b}: search history of 10,000 words / 1,000 words: {h10 / h1 if h1 else 0:.1f}x (10x is linear)")
for b in builds:
    if (b + "-anchor", "large") not in runs:
        continue
    print(f"\n{b}, large catalogue, medians    anchor      this   this/anchor")
    for key in timed:
        a, t = med(b + "-anchor", "large", key), med(b, "large", key)
        print(f"  {key:24} {a:9.1f} {t:9.1f}   {t / a if a else 0:6.2f}x")
if len(builds) == 2:
    print("\nlarge catalogue, medians        win32     win64   win32/win64")
    for key in timed:
        a, b = med("win32", "large", key), med("win64", "large", key)
        print(f"  {key:24} {a:9.1f} {b:9.1f}   {a / b if b else 0:6.2f}x")
PY
