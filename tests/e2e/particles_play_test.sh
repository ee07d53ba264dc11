# A script with both particle types plays: the effects are created, read
# their texture, draw frames while "zrotate" and "offset" events reach them,
# and the player ends cleanly on Escape.
source "$(dirname "$0")/player.sh"

# A 2x2 white, opaque, uncompressed 32-bit TGA.
printf '\0\0\2\0\0\0\0\0\0\0\0\0\2\0\2\0\40\10' >sprite.tga
printf '\377\377\377\377%.0s' 1 2 3 4 >>sprite.tga
cat >iDemo.dat <<'SCRIPT'
defineEffect root as Effect
end
defineEffect knot as FxAsmParticles
numParticles : %400
particle.size : 0.7
calc : Particles1
textureFilename : sprite.tga
end
defineEffect ring as FxRenderParticles
numParticles : %300
textureFilename : sprite.tga
particle.x : cos(2*pi*i/n)*8
particle.y : sin(2*pi*i/n)*8
particle.z : "0"
position.x : "0"
position.y : "0"
position.z : "20"
orientation.x : "0"
orientation.y : "0"
orientation.z : t*30
alpha : min(1,t)
particle.size : "0.4"
end
createInstance of root as iDemo at 0 1000
createInstance of knot as knot1 at 0 1000
createInstance of ring as ring1 at 0 1000
addChild knot1 to iDemo
addChild ring1 to iDemo
bah
SCRIPT
printf '0.2 zrotate 0\n0.3 offset 1\n0.4 zrotate 0\n' >test.dat

start_player
id=$(wait_for_window '^Quarn 2$') || exit 1
wait_for_first_frame
grep -Eq '^effect [0-9]+ : FxAsmParticles$' out.txt || fail "FxAsmParticles not registered: $(cat out.txt)"
grep -Eq '^effect [0-9]+ : FxRenderParticles$' out.txt || fail "FxRenderParticles not registered"
grep -q '^loading texture sprite.tga$' out.txt || fail "texture not loaded"
sleep 1
expect_escape_ends_cleanly "$id"
echo ok
