#!/bin/sh
# Runs the benchmarks of the native and Windows builds (Windows ones under Wine) and prints the
# figures; each is a ratio against a reference measured in the same run (the textbook cascade; for
# silence after loud input, the engine on the normal signal). Build the presets first. The engine's
# ratios of every build end up in one table at the end.
cd "$(dirname "$0")/.." || exit 1
. ./cmake/wine-env.sh
summary=""

# add_summary BUILD TABLE: one row of ratios from an engine table.
add_summary() {
    row=$(printf '%s\n' "$2" | awk -v build="$1" '
        $1 == "0" { zero = $NF } $1 == "1" { one = $NF } $1 == "6" && $2 ~ /^[0-9]/ { six = $NF }
        $1 == "6" && $2 == "silent" { silent = $NF }
        END { printf "| %s | %s | %s | %s | %s |", build, zero, one, six, silent }')
    summary="$summary$row
"
}

if [ -x build/host/bin/engine_bench ]; then
    echo "== native (host), Google Benchmark"
    # The CSV reporter stops at a benchmark with a counter the first one lacks: the ratio rounds run
    # on their own below.
    table=$(build/host/bin/engine_bench --benchmark_filter=-BM_AnalyzerCost --benchmark_min_time=0.2 \
                --benchmark_format=csv 2>/dev/null |
        awk -F, '/^"BM_/ { split($1, n, "/"); kind = substr(n[1], 5); bands = n[2]; sub(/"/, "", bands);
                  ns[kind, bands] = $4 / 512; seen[bands] = 1 }
             END { printf "%-8s %14s %12s %14s %12s %8s\n", "bands", "engine fr/s", "ns/frame", "reference fr/s", "ns/frame", "ratio";
                   for (b = 0; b <= 6; b++) if (b in seen)
                       printf "%-8d %14.0f %12.2f %14.0f %12.2f %8.2f\n", b, 1e9 / ns["Engine", b], ns["Engine", b],
                              1e9 / ns["Reference", b], ns["Reference", b], ns["Engine", b] / ns["Reference", b];
                   if (("EngineSilence", 6) in ns)
                       printf "%-8s %14.0f %12.2f %14s %12.2f %8.2f\n", "6 silent", 1e9 / ns["EngineSilence", 6],
                              ns["EngineSilence", 6], "(6 bands)", ns["Engine", 6], ns["EngineSilence", 6] / ns["Engine", 6];
                   split("off,fed", tap, ",");
                   for (r = 0; r <= 1; r++) if (("EngineAnalyzer", "ring:" r) in ns)
                       printf "%-8s %14.0f %12.2f %14s %12.2f %8.3f\n", "6 " tap[r + 1], 1e9 / ns["EngineAnalyzer", "ring:" r],
                              ns["EngineAnalyzer", "ring:" r], "(6 bands)", ns["Engine", 6], ns["EngineAnalyzer", "ring:" r] / ns["Engine", 6] }')
    printf '%s\n' "$table"
    add_summary host "$table"
    echo "== native (host): six bands feeding the analyzer's ring to six bands alone, alternating rounds (limit 1.03)"
    build/host/bin/engine_bench --benchmark_filter=BM_AnalyzerCost 2>/dev/null |
        awk '/^BM_AnalyzerCost/ { for (i = 1; i <= NF; i++) if ($i ~ /^ratio=/) print $1, substr($i, 7) }'
fi
if [ -x build/host/bin/analyzer_bench ]; then
    echo "== native (host): one analyzer frame (budget 0.5 ms at 100 %)"
    build/host/bin/analyzer_bench --benchmark_min_time=0.2 2>/dev/null | grep '^BM_'
fi
for preset in win64 win32; do
    [ -x build/$preset/wine-exec ] || continue
    if [ $preset = win32 ] && ! qv_can_run_i386; then
        echo "== $preset: not run (this machine does not execute 32-bit code natively)"
        continue
    fi
    for exe in build/$preset/bin/*bench*.exe; do
        [ -f "$exe" ] || continue
        echo "== $preset under Wine: $(basename "$exe")"
        out=$(build/$preset/wine-exec "$exe")
        printf '%s\n' "$out"
        case $(basename "$exe") in engine_bench*) add_summary "$preset under Wine" "$out" ;; esac
    done
done
if [ -n "$summary" ]; then
    echo "== engine, ratios (0 bands: to a plain copy; 1 and 6: to the textbook cascade; silence: to 6 bands)"
    echo "| build | 0 bands | 1 band | 6 bands | silence after loud input |"
    echo "|---|---|---|---|---|"
    printf '%s' "$summary"
fi
