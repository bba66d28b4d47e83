#!/usr/bin/env bash
# The user's run, timed as the user sees it: `sarvanta-cli run` of bench-arm's own task
# (population 20, 200 steps, seed 3) with one evaluation thread and with one per core. The runs
# come in rounds of three, one right after the other: one thread, one per core, and two 1-thread
# runs at once, which shows what the machine itself gives at that moment (a shared machine does
# not always give its full core count, and its speed changes from minute to minute). Reported:
# the best wall time of each, the median speed-up of the rounds, the machine's own median
# speed-up, and the median share of the machine's speed-up that the run achieves. The time per
# generation leaves out the start and the result files (a 1-step run of the same command); both
# runs must end with the same best fitness.
# Usage: bench/bench_cli_run.sh BUILD [ROUNDS]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
cli="$build/src/cli/sarvanta-cli"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cores=$(nproc)

# One run of bench-arm's task: steps threads name (its output goes to $out/stdout-name).
run_task() {
  "$cli" run "$root/examples/bench-arm.svt" --steps "$1" --population 20 --seed 3 \
    --threads "$2" --out "$out/run-$3" --overwrite --quiet > "$out/stdout-$3"
}

# Two 1-thread runs at once.
two_at_once() {
  run_task 200 1 a &
  run_task 200 1 b
  wait
}

# Wall seconds of one call of: command [arguments]
seconds_of() {
  local start end
  start=$(date +%s.%N)
  "$@"
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

# Best wall seconds of $runs calls of: command [arguments]
best_of() {
  for ((r = 0; r < runs; r++)); do seconds_of "$@"; done | sort -g | head -1
}

# Median of the numbers on standard input.
median_of() {
  sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Rounds: "seconds with 1 thread, with one per core, of two 1-thread runs at once" per line.
for ((r = 0; r < runs; r++)); do
  echo "$(seconds_of run_task 200 1 1) $(seconds_of run_task 200 "$cores" "$cores") $(seconds_of two_at_once)"
done > "$out/rounds"
one=$(awk '{ print $1 }' "$out/rounds" | sort -g | head -1)
all=$(awk '{ print $2 }' "$out/rounds" | sort -g | head -1)
median=$(awk '{ print $1 / $2 }' "$out/rounds" | median_of)
lowest=$(awk '{ print $1 / $2 }' "$out/rounds" | sort -g | head -1)
highest=$(awk '{ print $1 / $2 }' "$out/rounds" | sort -g | tail -1)
machine=$(awk '{ print 2 * $1 / $3 }' "$out/rounds" | median_of)
share=$(awk '{ print ($1 / $2) / (2 * $1 / $3) }' "$out/rounds" | median_of)
fitness_one=$(grep -o 'Best fitness [^ ]*' "$out/stdout-1")
fitness_all=$(grep -o 'Best fitness [^ ]*' "$out/stdout-$cores")
start=$(best_of run_task 1 1 start)
printf 'sarvanta-cli run examples/bench-arm.svt --steps 200 --population 20 --seed 3 (%d cores)\n' "$cores"
awk -v one="$one" -v all="$all" -v start="$start" -v cores="$cores" -v machine="$machine" \
    -v share="$share" -v median="$median" -v lowest="$lowest" -v highest="$highest" \
    -v runs="$runs" 'BEGIN {
  printf "  --threads 1: %.3f s   --threads %d: %.3f s   speed-up x%.2f (best against best)\n",
         one, cores, all, one / all
  printf "  speed-up in %d rounds run one after the other: median x%.2f (x%.2f to x%.2f)\n",
         runs, median, lowest, highest
  printf "  the machine in the same rounds: two 1-thread runs at once do x%.2f the work of one\n",
         machine
  printf "    alone (median); the run achieves %.0f%% of that (median of the rounds)\n", share * 100
  printf "  per generation, 1 thread: %.2f ms (start and result files: %.3f s, from --steps 1)\n",
         (one - start) * 1000 / 199, start
}'
printf '  %s (1 thread), %s (%d threads)\n' "$fitness_one" "$fitness_all" "$cores"
[ "$fitness_one" = "$fitness_all" ] || { echo "the runs differ" >&2; exit 1; }
