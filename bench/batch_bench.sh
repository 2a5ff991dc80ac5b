#!/usr/bin/env bash
# batch_bench.sh DATA_DIR [BUILD_DIR]
#
# Times brackwell running scripts in batch mode: a 100,000-line cn_print script, a cn_listing
# of DATA_DIR/flat/ beside `ls -l` of the same directory, and one argument of 20,000 "$" against
# a 100,000-line defvars.txt beside `grep -F` looking for the same names, best of 3 each, all in
# the same run. Run by hand; see bench/README.md.
set -euo pipefail

DATA=${1:?usage: batch_bench.sh DATA_DIR [BUILD_DIR]}
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
BUILD=${2:-$HERE/../build-bench}
REPEATS=3
LINES=100000
DATA=$(cd "$DATA" && pwd)
FLAT=$DATA/flat
[[ -d $FLAT ]] || { echo "batch_bench: $FLAT missing (make it with gen.sh)" >&2; exit 1; }
[[ -x $BUILD/brackwell ]] || { echo "batch_bench: $BUILD/brackwell missing (build it)" >&2; exit 1; }

# The program reads its data files beside the executable, so it runs from a private copy.
PROG=$(mktemp -d /tmp/batch_bench.XXXXXX)
trap 'rm -rf -- "$PROG"' EXIT
cp "$BUILD/brackwell" "$PROG/"
cp -r "$HERE/../data/." "$PROG/"
# Qt warns on every start when there is no runtime directory; give it a private one.
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
  export XDG_RUNTIME_DIR=$PROG/runtime
  mkdir -m 700 "$XDG_RUNTIME_DIR"
fi

# External variables are read again for every expanded argument, so the file's size counts.
# shellcheck disable=SC2016  # the $ names are meant literally
for i in $(seq 1 100); do printf '$v%d=value%d;comment\r\n' "$i" "$i"; done > "$PROG/defvars.txt"

{
  echo "BEGIN BWSCRIPT;"
  # shellcheck disable=SC2016
  for ((i = 0; i < LINES; i++)); do echo 'cn_print($DIR/x)'; done
  echo "END;"
} > "$PROG/print.bws"
printf 'BEGIN BWSCRIPT;\ncn_listing(%s/)\nEND;\n' "$FLAT" > "$PROG/listing.bws"
printf 'BEGIN BWSCRIPT;\nEND;\n' > "$PROG/empty.bws"

# Substitution against a long variables file: every definition is looked for in an argument
# full of "$" (twice as long in the second script, to show how the cost grows with it).
DEFS=100000
DOLLARS=20000
# shellcheck disable=SC2016
for ((i = 0; i < DEFS; i++)); do printf '$var%d_=v;\r\n' "$i"; done > "$PROG/defvars.big"
sed 's/=.*//' "$PROG/defvars.big" > "$PROG/names.txt"
dollars() { local n=$1; printf '$x%.0s' $(seq 1 "$n"); }
printf 'BEGIN BWSCRIPT;\ncn_print(%s$var99999_)\nEND;\n' "$(dollars $DOLLARS)" > "$PROG/vars.bws"
printf 'BEGIN BWSCRIPT;\ncn_print(%s$var99999_)\nEND;\n' "$(dollars $((2 * DOLLARS)))" \
  > "$PROG/vars2.bws"
printf '%s\n' "$(dollars $DOLLARS)\$var99999_" > "$PROG/argument.txt"

# Wall-clock milliseconds of one run of a command, its standard output thrown away.
run_ms() {
  local start=$EPOCHREALTIME
  "$@" > /dev/null
  local end=$EPOCHREALTIME
  echo $(( (${end/./} - ${start/./}) / 1000 ))
}

# Best of REPEATS runs.
best_ms() {
  local best='' ms
  for ((r = 0; r < REPEATS; r++)); do
    ms=$(run_ms "$@")
    if [[ -z $best || $ms -lt $best ]]; then best=$ms; fi
  done
  echo "$best"
}

bw() { "$PROG/brackwell" -NOLOGO -BATCH "$@"; }

# One untimed run each checks that the scripts do what is timed.
printed=$(bw "$PROG/print.bws" | grep -c '/x$' || true)
listed=$(bw "$PROG/listing.bws" | grep -c '; Size: ' || true)
if [[ $printed -ne $LINES ]]; then
  echo "batch_bench: the print script printed $printed of $LINES lines" >&2
  exit 1
fi
if [[ $listed -lt 101000 ]]; then
  echo "batch_bench: the listing printed $listed lines" >&2
  exit 1
fi

empty_ms=$(best_ms bw "$PROG/empty.bws")
print_ms=$(best_ms bw "$PROG/print.bws")
# The same script with an empty variables file shows what the 100 external variables cost.
mv "$PROG/defvars.txt" "$PROG/defvars.100"
: > "$PROG/defvars.txt"
print_novars_ms=$(best_ms bw "$PROG/print.bws")
mv "$PROG/defvars.100" "$PROG/defvars.txt"
listing_ms=$(best_ms bw "$PROG/listing.bws")
ls_ms=$(best_ms ls -l "$FLAT")
mv "$PROG/defvars.txt" "$PROG/defvars.100"
cp "$PROG/defvars.big" "$PROG/defvars.txt"
substituted=$(bw "$PROG/vars.bws" | tail -n 1)
if [[ $substituted != *'$xv' ]]; then
  echo "batch_bench: the variables script printed ${substituted: -20}" >&2
  exit 1
fi
vars_ms=$(best_ms bw "$PROG/vars.bws")
startup_big_ms=$(best_ms bw "$PROG/empty.bws")
vars2_ms=$(best_ms bw "$PROG/vars2.bws")
grep_ms=$(best_ms grep -c -F -i -f "$PROG/names.txt" "$PROG/argument.txt")
mv "$PROG/defvars.100" "$PROG/defvars.txt"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
verdict() { if [[ $1 -eq 0 ]]; then echo met; else echo missed; fi; }

echo "batch_bench $DATA: best of $REPEATS"
echo
printf '%-46s %10s %10s\n' what ms ratio
printf '%-46s %10d %10s\n' "brackwell -BATCH empty script (start-up)" "$empty_ms" ""
printf '%-46s %10d %10s\n' "  the same, $DEFS-line defvars.txt" "$startup_big_ms" ""
printf '%-46s %10d %10s\n' "brackwell -BATCH $LINES x cn_print(\$DIR/x)" "$print_ms" ""
printf '%-46s %10d %10s\n' "  the same, defvars.txt empty" "$print_novars_ms" ""
printf '%-46s %10d %10s\n' "brackwell -BATCH cn_listing(flat/) [$listed lines]" "$listing_ms" \
  "$(ratio "$listing_ms" "$ls_ms")"
printf '%-46s %10d %10s\n' "ls -l flat" "$ls_ms" "1.00"
printf '%-46s %10d %10s\n' "brackwell -BATCH $DOLLARS \$ x $DEFS variables" "$vars_ms" \
  "$(ratio "$vars_ms" "$grep_ms")"
printf '%-46s %10d %10s\n' "  the same with $((2 * DOLLARS)) \$" "$vars2_ms" \
  "$(ratio "$vars2_ms" "$grep_ms")"
printf '%-46s %10d %10s\n' "grep -F -i -f ($DEFS names) on the argument" "$grep_ms" "1.00"
echo
# The substitution's own cost, the start-up taken off; doubling the argument should at most
# double it (a quadratic cost would make it four times).
vars_own=$((vars_ms > empty_ms ? vars_ms - empty_ms : 0))
vars2_own=$((vars2_ms > empty_ms ? vars2_ms - empty_ms : 0))
echo "goal: start-up to a finished empty script with a $DEFS-line defvars.txt $startup_big_ms ms" \
  "(target at most 50 ms): $(verdict $((startup_big_ms > 50)))"
echo "goal: $LINES-line script $print_ms ms (target under 2000 ms): $(verdict $((print_ms >= 2000)))"
echo "goal: cn_listing against ls -l $(ratio "$listing_ms" "$ls_ms") (target at most 1.00):" \
  "$(verdict $((listing_ms > ls_ms)))"
echo "goal: substitution of $DOLLARS \$ x $DEFS variables $vars_own ms (target under 500 ms):" \
  "$(verdict $((vars_own >= 500)))"
echo "goal: twice the argument costs $(ratio "$vars2_own" "$vars_own") times as much" \
  "(target under 3.00, or within 20 ms of it, as costs of a few ms are mostly noise):" \
  "$(verdict "$(awk -v a="$vars2_own" -v b="$vars_own" \
  'BEGIN { print (a > 3 * b + 20) ? 1 : 0 }')")"
