#!/bin/sh
# What a shell user sees when the headless runner is given bad input: exit status 2, exactly one
# line on standard error naming the problem, nothing on standard output, and no file written.
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
  left=$(ls -A | grep -v -x -e out.txt -e err.txt -e script.txt)
  if [ "$status" -ne 2 ] || [ "$lines" -ne 1 ] || [ -s out.txt ] || [ -n "$left" ] ||
     ! grep -q -F -- "$words" err.txt; then
    echo "FAILED: $* -> status $status, $lines line(s): $(cat err.txt) left: $left"
    failures=$((failures + 1))
  fi
  rm -rf out.txt err.txt frames layers
}

printf 'wait 1\nhold knob\n' >script.txt
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

if [ "$failures" -ne 0 ]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "all error cases rejected cleanly"
