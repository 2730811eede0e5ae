# rounds.sh -- sourced by the benchmarks: one warm-up round that is not counted,
# then ROUNDS counted rounds (default 5), every one printed, and their median.

# rounds_run FUNCTION: calls FUNCTION with 0 (the warm-up) and then 1 to ROUNDS.
rounds_run() {
  local r n=${ROUNDS:-5}
  for ((r = 0; r <= n; r++)); do "$1" "$r"; done
}

# rounds_label R: how round R is shown.
rounds_label() {
  if [ "$1" -eq 0 ]; then echo warm-up; else echo "$1"; fi
}

# rounds_median NUMBER...: the middle one, or the mean of the middle two.
rounds_median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    END { if (NR == 0) print 0; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# rounds_ratio A B: A / B, 0 when B is 0.
rounds_ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { print (b > 0 ? a / b : 0) }'
}

# rounds_goal WHAT VALUE LIMIT: whether a measured VALUE keeps to its LIMIT.
rounds_goal() {
  awk -v w="$1" -v v="$2" -v l="$3" 'BEGIN { f = v == int(v) ? "%d" : "%.2f"
    printf "goal %s: " f ", at most %g: %s\n", w, v, l, (v <= l ? "met" : "NOT met") }'
}
