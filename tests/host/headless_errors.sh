#!/bin/sh
# What a shell user sees when the headless runner is given bad input: exit status 2, exactly one
# line on standard error naming the problem, nothing on standard output, and no file written;
# and when a write fails during or after the run: exit status 1 and exactly one line. No message
# carries a raw control byte to the terminal.
# Usage: headless_errors.sh PATH/TO/vesper-headless
set -u
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

# expect_rejected WORDS ARGS...: the run fails as described and its message contains WORDS.
expect_rejected() {
  words=$1
  shift
  "$program" "$@" >out.txt 2>err.txt </dev/null
  status=$?
  lines=$(wc -l <err.txt)
  left=$(ls -A | grep -v -x -e out.txt -e err.txt -e script.txt -e bom16.txt)
  if [ "$status" -ne 2 ] || [ "$lines" -ne 1 ] || [ -s out.txt ] || [ -n "$left" ] ||
     ! grep -q -F -- "$words" err.txt || LC_ALL=C grep -q '[[:cntrl:]]' err.txt; then
    echo "FAILED: $* -> status $status, $lines line(s): $(cat err.txt) left: $left"
    failures=$((failures + 1))
  fi
  rm -rf out.txt err.txt frames layers
}

# expect_failed WORDS ARGS...: the run fails while or after running: status 1, one line.
expect_failed() {
  words=$1
  shift
  "$program" "$@" >out.txt 2>err.txt </dev/null
  status=$?
  lines=$(wc -l <err.txt)
  if [ "$status" -ne 1 ] || [ "$lines" -ne 1 ] || ! grep -q -F -- "$words" err.txt; then
    echo "FAILED (run): $* -> status $status, $lines line(s): $(cat err.txt)"
    failures=$((failures + 1))
  fi
  rm -rf out.txt err.txt
}

long=$(printf 'x%.0s' $(seq 300))
esc=$(printf '\033]0;owned\007\033[31m')
printf 'wait 1\nhold knob\n' >script.txt
printf '\377\376w\000a\000' >bom16.txt
expect_rejected "unknown option '--colour'" --colour --png p.png
expect_rejected "option --state needs" --png p.png --state
expect_rejected "script.txt:2: hold takes two arguments" --script script.txt --png p.png --frames frames
expect_rejected "cannot read script 'nowhere.txt'" --script nowhere.txt --state s.json
expect_rejected "unknown setting 'CFG_WARP'" --set CFG_WARP=9 --png p.png
expect_rejected "value 90 for ROLL LIM is out of range (allowed 30..80)" --set "ROLL LIM=90" --png p.png
expect_rejected "'MODE 7' is not an option of DEMO MODE" -e 'set DEMO MODE MODE 7' --layers layers
expect_rejected "'missing/dir' does not exist" --png missing/dir/p.png --state s.json
expect_rejected "-e:1: cannot write png 'missing/p.png'" -e 'png missing/p.png' --frames frames
expect_rejected "--every: '0'" --frames frames --every 0
# Outputs are proven by making them, also where root's permissions say yes and the place says no.
expect_rejected "nothing can be made in '/proc'" --png /proc/x.png --seconds 2000
expect_rejected "nothing can be made in '/sys'" --frames /sys/vesper-frames
expect_rejected "File name too long" --state "$long.json" --png p.png
expect_rejected "option --png given twice" --png a.png --png b.png
expect_rejected "cannot both go to standard output" --png - --state -
expect_rejected "turn: '2147483647' is out of range (allowed -100..100)" -e 'turn 2147483647' --png p.png
expect_rejected "turn: '-101' is out of range" -e 'turn -101'
# Rejected text is cut and its control bytes escaped.
expect_rejected "unknown control '\x1B]0;owned\x07\x1B[31m'" -e "tap $esc" --png p.png
expect_rejected "unknown command '$(printf 'x%.0s' $(seq 60))...'" -e "$long" --png p.png
expect_rejected "cannot read script '\x1B]0;owned" --script "$esc"
expect_rejected "bom16.txt:1: the script starts with a UTF-16" --script bom16.txt --png p.png

# Write failures during and after the run.
expect_failed "cannot write --png '/dev/full'" --seconds 0.1 --png /dev/full
expect_failed "cannot write --state '/dev/full'" --seconds 0.1 --state /dev/full
"$program" --seconds 0.1 --state - >/dev/full 2>err.txt
status=$?
if [ "$status" -ne 1 ] || [ "$(wc -l <err.txt)" -ne 1 ] || ! grep -q "standard output" err.txt; then
  echo "FAILED: --state - into /dev/full -> status $status: $(cat err.txt)"
  failures=$((failures + 1))
fi
"$program" --seconds 0.1 --state - >&- 2>err.txt
status=$?
if [ "$status" -ne 2 ] || [ "$(wc -l <err.txt)" -ne 1 ] || ! grep -q "standard output is closed" err.txt; then
  echo "FAILED: --state - with standard output closed -> status $status: $(cat err.txt)"
  failures=$((failures + 1))
fi
rm -f err.txt

if [ "$failures" -ne 0 ]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "all error cases rejected cleanly"
