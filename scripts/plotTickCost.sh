#!/usr/bin/env bash
# Plots the cost of one logic tick against the number of units from the benchmarks' CSV output
# (build/battleBench --benchmark_out=FILE --benchmark_out_format=csv), on log-log axes with an
# N x N line for comparison. Medians are used when the run had repetitions. A second CSV, from
# an earlier build, is drawn alongside for comparison. Needs gnuplot.
#
# Usage: scripts/plotTickCost.sh BENCH.csv OUTPUT.png [EARLIER.csv "EARLIER TITLE"]
set -euo pipefail
if [ $# -ne 2 ] && [ $# -ne 4 ]; then
    echo "usage: scripts/plotTickCost.sh BENCH.csv OUTPUT.png [EARLIER.csv \"EARLIER TITLE\"]" >&2
    exit 2
fi
csv="$1"
output="$2"
if ! command -v gnuplot >/dev/null; then
    echo "plotTickCost.sh: gnuplot is needed (Debian package gnuplot-nox)" >&2
    exit 1
fi

# "tick/300/manual_time_median",5,615.2,643.1,us,... -> 300 615.2 (times in microseconds)
tickPoints() {
    awk -F, '
    function micros(t, unit) {
        return unit == "ns" ? t / 1000 : unit == "ms" ? t * 1000 : unit == "s" ? t * 1e6 : t
    }
    {
        name = $1
        gsub(/"/, "", name)
        if (name !~ /^tick\/[0-9]+\/manual_time(_median)?$/) next
        split(name, part, "/")
        n = part[2]
        if (name ~ /_median$/) { median[n] = micros($3, $5) } else { plain[n] = micros($3, $5) }
    }
    END {
        for (n in plain) if (!(n in median)) median[n] = plain[n]
        for (n in median) print n, median[n]
    }' "$1" | sort -n
}

points="$(tickPoints "$csv")"
if [ -z "$points" ]; then
    echo "plotTickCost.sh: no tick/N results in $csv" >&2
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
