# --help prints the usage; an unknown option is an error with status 2.
source "$(dirname "$0")/player.sh"

"$player" --help >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "--help gave status $status"
head -n 1 out.txt | grep -q '^Usage: quarn2 ' || fail "--help printed: $(head -n 1 out.txt)"
[ ! -s err.txt ] || fail "--help wrote to stderr"

timeout -k 5 20 "$player" --fullscreen >out.txt 2>err.txt
status=$?
[ "$status" -eq 2 ] || fail "unknown option gave status $status"
[ "$(head -n 1 err.txt)" = "quarn2: unknown option '--fullscreen'" ] || fail "error line: $(head -n 1 err.txt)"
sed -n 2p err.txt | grep -q '^Usage: quarn2 ' || fail "no usage after the error"
[ ! -s out.txt ] || fail "unknown option wrote to stdout"
echo ok
