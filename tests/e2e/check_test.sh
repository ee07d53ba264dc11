# --check reads a demo without a window or sound: only its report on stdout,
# status 1 on an error, 0 for the bundled demo; nothing is played.
source "$(dirname "$0")/player.sh"

# The minimal demo of player.sh with one mistake, checked from elsewhere.
printf 'defineEffect root as Effect\nalpha : 1\nend\ncreateInstance of root as iDemo at 0 1000\nbah\n' >iDemo.dat
mkdir elsewhere
(cd elsewhere && DISPLAY= timeout 20 "$player" --check .. >../out.txt 2>../err.txt)
status=$?
[ "$status" -eq 1 ] || fail "status $status for a broken demo: $(cat err.txt)"
[ "$(head -n 1 out.txt)" = "iDemo.dat:2: error: effect 'root' (Effect): takes no parameters, not 'alpha'" ] ||
    fail "report: $(cat out.txt)"
grep -q '^test.dat:1: warning: 0.100 zrotate goes to iDemo (effect root, Effect), which ignores it$' out.txt ||
    fail "no line for the sync event: $(cat out.txt)"
[ ! -s err.txt ] || fail "stderr: $(cat err.txt)"

use_bundled_demo
DISPLAY= timeout 20 "$player" --check >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "status $status for the bundled demo: $(grep -v ': note: ' out.txt)"
[ "$(grep -vc ': note: ' out.txt)" -eq 0 ] || fail "findings in the bundled demo: $(grep -v ': note: ' out.txt)"
[ ! -s err.txt ] || fail "stderr: $(cat err.txt)"
echo ok
