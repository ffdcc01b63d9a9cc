#!/usr/bin/env bash
# scripts/run in a copy of the tree with setup and build stubbed: without a
# display it stops at once, before setting up or building anything, and says
# how to start on a virtual display; with one it builds only the program and
# starts it in examples/.
#   run_script_test.sh SOURCE_DIR
set -uo pipefail
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "run-script: $*" >&2; status=1; }

mkdir -p "$work/scripts" "$work/examples"
cp "$source/scripts/run" "$work/scripts/run"
cat >"$work/scripts/setup" <<STUB
#!/usr/bin/env bash
echo setup >>"$work/calls"
STUB
cat >"$work/scripts/build" <<STUB
#!/usr/bin/env bash
echo "build \$*" >>"$work/calls"
mkdir -p "$work/build/release"
printf '#!/usr/bin/env bash\necho "started in \$PWD"\n' >"$work/build/release/prismview"
chmod +x "$work/build/release/prismview"
STUB
chmod +x "$work/scripts/"*

env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/scripts/run" >"$work/out" 2>"$work/err"
code=$?
[ $code -eq 1 ] || fail "without a display: exit status $code, expected 1"
grep -q "xvfb-run -a -s '-screen 0 1280x1024x24' ../build/release/prismview" "$work/err" ||
  fail "without a display, no xvfb-run line: $(cat "$work/err")"
[ ! -e "$work/calls" ] || fail "without a display it still ran: $(cat "$work/calls")"

DISPLAY=:99 "$work/scripts/run" >"$work/out" 2>"$work/err" || fail "with a display: exit status $?: $(cat "$work/err")"
[ "$(cat "$work/calls" 2>/dev/null)" = $'setup\nbuild release prismview' ] ||
  fail "with a display it ran: $(cat "$work/calls" 2>/dev/null)"
[ "$(cat "$work/out")" = "started in $work/examples" ] || fail "the program did not start in examples/: $(cat "$work/out")"

[ $status -eq 0 ] && echo "run-script: stops at once without a display; with one builds only prismview and starts it in examples/"
exit $status
