#!/bin/bash
# cmake/wine-run may run a test program again only when wine itself died of
# SIGSEGV: a program that fails, or faults inside wine (status 5), must be
# reported at once, or the Windows tests would hide real failures.
set -u
wine_run=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# A stand-in for wine: counts its runs, prints the run's number, and ends
# as the mode says.
cat >"$dir/wine" <<'SCRIPT'
#!/bin/bash
n=$(($(cat "$COUNT" 2>/dev/null || echo 0) + 1))
echo "$n" >"$COUNT"
echo "out $n"
echo "err $n" >&2
case $1 in
  segv-once) ((n == 1)) && kill -SEGV $$ ;;
  segv-always) kill -SEGV $$ ;;
  fault) exit 5 ;;
  fail) exit 1 ;;
esac
exit 0
SCRIPT
chmod +x "$dir/wine"

export COUNT=$dir/count SYMCONV_WINE_RETRY_LOG=$dir/log
failures=0
# expect MODE STATUS RUNS RETRY-LOG-LINES
expect() {
  rm -f "$COUNT" "$SYMCONV_WINE_RETRY_LOG"
  "$wine_run" "$dir/wine" "$1" >"$dir/out" 2>"$dir/err"
  local status=$? runs logged
  runs=$(cat "$COUNT")
  logged=$(cat "$SYMCONV_WINE_RETRY_LOG" 2>/dev/null | wc -l)
  local want_out="out $runs"
  if ((status != $2 || runs != $3 || logged != $4)) ||
    [[ $(cat "$dir/out") != "$want_out" ]] ||
    ! grep -qx "err $runs" "$dir/err"; then
    echo "$1: status $status, $runs runs, $logged retries logged," \
      "stdout [$(cat "$dir/out")]; expected $2, $3, $4, [$want_out]"
    failures=$((failures + 1))
  fi
}

expect ok 0 1 0
expect fail 1 1 0
expect fault 5 1 0
expect segv-once 0 2 1      # only the last run's output is passed on
expect segv-always 139 3 2  # at most two retries
exit $((failures > 0))
