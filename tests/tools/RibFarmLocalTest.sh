#!/usr/bin/env bash
# rib-farm on this machine with commands of the test's own: paths that need quoting, gzip frames,
# the video in the order of the arguments at the rate asked for, commands that fail, an
# interruption, and bad arguments; never a half-written picture.
#   RibFarmLocalTest.sh RIB_FARM      (exit 0 passed, 1 failed)
set -uo pipefail
farm=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Names with blanks and quotes reach the command as one word each, as absolute paths; a .rib.gz
# frame is named without both extensions; DIR is made.
mkdir "in dir"
echo 'WorldBegin WorldEnd' >"in dir/it's one.rib"
echo 'WorldBegin WorldEnd' | gzip >"in dir/two \$x.rib.gz"
"$farm" --local --render 'printf %s {in} >{out}' --out "out dir/sub" "in dir/it's one.rib" \
  "in dir/two \$x.rib.gz" 2>quoting.err
status=$?
[ $status -eq 0 ] && [ ! -s quoting.err ] || fail "quoting: exit status $status: $(cat quoting.err)"
[ "$(ls -A "out dir/sub" | tr '\n' '|')" = "it's one.png|two \$x.png|" ] &&
  [ "$(cat "out dir/sub/it's one.png")" = "$tmp/in dir/it's one.rib" ] &&
  [ "$(cat "out dir/sub/two \$x.png")" = "$tmp/in dir/two \$x.rib.gz" ] ||
  fail "quoting: $(ls -A "out dir/sub" | tr '\n' '|')"

# The video takes the frames in the order given (c, a, b: blue, red, green), odd sizes padded.
touch a.rib b.rib c.rib
colour='case {in} in *a.rib) c=red;; *b.rib) c=lime;; *) c=blue;; esac
ffmpeg -nostdin -v error -f lavfi -i color=$c:s=32x32 -vf format=rgb24,crop=31:31 -frames:v 1 \
  -f image2 -c:v png -y {out}'
"$farm" --local --render "$colour" --video colours.mp4 --fps 25 --out colours c.rib a.rib b.rib
status=$?
rate=$(ffprobe -v error -select_streams v:0 -of csv=p=0 -show_entries stream=r_frame_rate,width \
  colours.mp4)
# One pixel per frame; its strongest channel names the colour.
order=$(ffmpeg -v error -i colours.mp4 -vf scale=1:1 -f rawvideo -pix_fmt rgb24 - | od -An -v -tu1 |
  tr -s ' \n' '  ' | awk '{for (i = 1; i + 2 <= NF; i += 3) {
    m = $i > $(i+1) ? ($i > $(i+2) ? "R" : "B") : ($(i+1) > $(i+2) ? "G" : "B"); printf "%s", m }}')
[ $status -eq 0 ] && [ "$rate" = "32,25/1" ] && [ "$order" = BRG ] ||
  fail "video: exit status $status, '$rate', frames $order"

# Failures: each named with its status and first error line, the others kept, no video, nothing
# hidden left behind.
for i in 1 2 3 4 5 6; do touch "f$i.rib"; done
"$farm" --local --video failed.mp4 --out failed \
  --render 'case {in} in *f2.rib) printf "boom\nmore\n" >&2; exit 3;; *f4.rib) exit 0;; esac; echo x >{out}' \
  f?.rib 2>failed.err
status=$?
expected="rib-farm: f2.rib: exit status 3: boom
rib-farm: f4.rib: the command succeeded but wrote no picture
rib-farm: video 'failed.mp4': not made, as not every frame rendered"
[ $status -eq 1 ] && [ "$(cat failed.err)" = "$expected" ] || fail "failures: $status $(cat failed.err)"
[ "$(ls -A failed | tr '\n' ' ')" = "f1.png f3.png f5.png f6.png " ] && [ ! -e failed.mp4 ] ||
  fail "failures leave $(ls -A failed | tr '\n' ' ')"

# Ctrl-C: the renderers stop, the program ends by the signal, and DIR holds nothing.
"$farm" --local --out stopped --render 'sleep 30 && cp {in} {out} # rib-farm-test-sleeper' f?.rib &
pid=$!
for _ in $(seq 50); do pgrep -f rib-farm-test-sleeper >/dev/null && break; sleep 0.1; done
kill -INT $pid
wait $pid
status=$?
sleep 0.2
[ $status -eq 130 ] && [ -z "$(ls -A stopped)" ] && ! pgrep -f rib-farm-test-sleeper >/dev/null ||
  fail "Ctrl-C: exit status $status, left $(ls -A stopped | tr '\n' ' ')"

# Bad arguments: one line naming the problem, the usage line, exit status 2, nothing made.
touch "in dir/a.rib"
while IFS='|' read -r problem args; do
  eval "\"\$farm\" $args" >bad.out 2>bad.err
  status=$?
  [ $status -eq 2 ] && [ "$(head -1 bad.err)" = "rib-farm: $problem" ] &&
    [ "$(sed -n 2p bad.err | cut -c1-16)" = "usage: rib-farm " ] && [ ! -s bad.out ] &&
    [ ! -e never ] || fail "$args: exit status $status, $(cat bad.err)"
done <<'EOF'
value '0' of --jobs is not a whole number from 1 to 100000|--local --jobs 0 --out never a.rib
'a.rib' and 'in dir/a.rib' would both become 'never/a.png'|--local --out never a.rib 'in dir/a.rib'
cannot read 'missing.rib': No such file or directory|--local --out never missing.rib
--render command has no {out} (the frame's RIB file and the picture to write)|--out never --render 'cp {in} elsewhere.png' a.rib
--no-wait leaves the frames to Slurm; it cannot go with --local|--local --no-wait --out never a.rib
--video 'nowhere/v.mp4': there is no folder 'nowhere'|--local --video nowhere/v.mp4 --out never a.rib
EOF
[ $failures -eq 0 ] && echo "ok" && exit 0
exit 1
