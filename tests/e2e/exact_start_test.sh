# A capture started at T shows, frame for frame, what a capture from 0
# shows from T on: the sync events due before T reach the effects at the
# steps and instances they reach in the run from 0, wherever T falls.
source "$(dirname "$0")/player.sh"

for f in torus.lwo bands.tga env.jpg sprite.tga; do
    cp "${QUARN_SOURCE_DIR:?the source tree}/demo/$f" . || fail "cannot copy $f"
done
# Two scenes: a torus moved by "pushback" and "offset" until 2 s, then two
# particle clouds rolled by "zrotate" and "offset". Position 2 is the torus
# before 2 s and the first cloud from then on.
cat >iDemo.dat <<'SCRIPT'
defineEffect group as Effect
end
defineEffect chrome as FxRenderParametric
object : torus.lwo
textureFilename : bands.tga
mapping : pregenerated
envFilename : env.jpg
position.z : "26+t"
orientation.x : t*37
orientation.y : t*23
end
defineEffect knot as FxAsmParticles
numParticles : %300
particle.size : 0.7
calc : Particles1
textureFilename : sprite.tga
end
defineEffect ring as FxRenderParticles
numParticles : %200
textureFilename : sprite.tga
particle.x : cos(2*pi*i/n)*8
particle.y : sin(2*pi*i/n)*8
particle.z : "0"
position.z : "20"
orientation.z : t*30
particle.size : "0.4"
end
createInstance of group as iDemo at 0 1000
createInstance of group as first at 0 1.999
createInstance of chrome as first.chrome at 0 2
createInstance of group as second at 2 1000
createInstance of knot as second.knot at 0 1000
createInstance of ring as second.ring at 0 1000
addChild first.chrome to first
addChild second.knot to second
addChild second.ring to second
addChild first to iDemo
addChild second to iDemo
bah
SCRIPT
# A burst of six at 1 s (delivered at 1.0 to 1.5 at ten steps a second);
# a "zrotate" the torus ignores, which would roll the cloud if it came
# late; two owed at the scene change, which the cloud gets; more after it.
cat >test.dat <<'SYNC'
0.25 pushback 2
1.0 pushback 2
1.0 offset 2
1.0 pushback 2
1.0 pushback 2
1.0 offset 2
1.0 pushback 2
1.5 zrotate 2
1.95 pushback 2
1.95 zrotate 2
2.0 zrotate 2
2.3 offset 3
2.3 zrotate 2
3.0 zrotate 2
SYNC

capture() {
    timeout -k 5 120 "$player" --windowed --fps 10 --capture "$@" >out.txt 2>err.txt || fail "capture $*: $(cat err.txt)"
}
capture whole --until 3.6
# Mid-burst, at the scene change, just after it with events still owed,
# and later on.
for start in 1.2 2 2.1 3.3; do
    capture "from-$start/" --start "$start" --until 3.6
    first=$(awk -v s="$start" 'BEGIN { printf "%d", s * 10 + 0.5 }')
    count=$(ls "from-$start" | grep -c '^frame_.*\.png$')
    [ "$count" -eq $((36 - first)) ] || fail "--start $start: $count frames"
    for ((k = 0; k < count; k++)); do
        cmp -s "from-$start/$(printf 'frame_%06d.png' "$k")" "whole/$(printf 'frame_%06d.png' $((first + k)))" ||
            fail "--start $start: frame $k differs from frame $((first + k)) of the run from 0"
    done
done
echo ok
