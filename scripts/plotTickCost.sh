#!/usr/bin/env bash
# Plots the cost of one logic tick against the number of units from the benchmarks' JSON output
# (build/battleBench --benchmark_out=FILE --benchmark_out_format=json), on log-log axes with an
# N x N line for comparison. Medians are used when the run had repetitions. A second file, from
# an earlier build, is drawn alongside for comparison. Needs gnuplot.
#
# Usage: scripts/plotTickCost.sh BENCH.json OUTPUT.png [EARLIER.json "EARLIER TITLE"]
set -euo pipefail
if [ $# -ne 2 ] && [ $# -ne 4 ]; then
    echo "usage: scripts/plotTickCost.sh BENCH.json OUTPUT.png [EARLIER.json \"EARLIER TITLE\"]" >&2
    exit 2
fi
results="$1"
output="$2"
if ! command -v gnuplot >/dev/null; then
    echo "plotTickCost.sh: gnuplot is needed (Debian package gnuplot-nox)" >&2
    exit 1
fi

# Each run is a block of "key": value lines, its name first and its time unit after its time:
#   "name": "tick/300/manual_time_median", ... "real_time": 6.15e+02, ... "time_unit": "us",
# -> 300 615 (microseconds)
tickPoints() {
    awk '
    function value(line) {
        sub(/^[^:]*: */, "", line)
        gsub(/[",]/, "", line)
        return line
    }
    /"name":/ { name = value($0) }
    /"real_time":/ { time = value($0) }
    /"time_unit":/ {
        unit = value($0)
        if (name !~ /^tick\/[0-9]+\/manual_time(_median)?$/) next
        split(name, part, "/")
        n = part[2]
        t = unit == "ns" ? time / 1000 : unit == "ms" ? time * 1000 : unit == "s" ? time * 1e6 : time
        if (name ~ /_median$/) { median[n] = t } else { plain[n] = t }
    }
    END {
        for (n in plain) if (!(n in median)) median[n] = plain[n]
        for (n in median) print n, median[n]
    }' "$1" | sort -n
}

points="$(tickPoints "$results")"
if [ -z "$points" ]; then
    echo "plotTickCost.sh: no tick/N results in $results" >&2
    exit 1
fi
earlier=""
earlierPlot=""
if [ $# -eq 4 ]; then
    earlier="$(tickPoints "$3")"
    earlierPlot=", '-' using 1:2 with linespoints lw 2 pt 5 title '$4'"
fi
firstN="$(echo "$points" | head -1 | cut -d' ' -f1)"
firstCost="$(echo "$points" | head -1 | cut -d' ' -f2)"

printf '%s\ne\n%s\ne\n' "$points" "$earlier" | gnuplot -e "
    set terminal pngcairo size 800,500 font 'sans,11';
    set output '$output';
    set title 'One logic tick against the number of units';
    set xlabel 'units in the battle (N)';
    set ylabel 'time per tick (microseconds)';
    set logscale xy;
    set grid;
    set key top left;
    set xrange [20:1500];
    plot '-' using 1:2 with linespoints lw 2 pt 7 title 'now (median)',
         $firstCost * (x / $firstN) ** 2 with lines dt 2 title 'N x N from the smallest N',
         2000 with lines lc rgb 'red' dt 3 title 'goal for N = 300: 2 ms' $earlierPlot"
echo "wrote $output"
