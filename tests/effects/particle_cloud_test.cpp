#include "effects/particle_cloud.h"

#include <gtest/gtest.h>

#include "assets/texture.h"
#include "effects/material.h"
#include "support/allocation_counter.h"
#include "support/null_render_state.h"
#include "support/recording_render_state.h"

namespace {

using Texts = std::vector<std::string>;

// A texture that was never uploaded: its GL name is 0.
struct NamedTexture {
    Texture texture{std::make_unique<Image>(Image{std::vector<uint8_t>(4, 255), 1, 1, {}}), false};
    TextureLayer layer;
    Material material;
    NamedTexture() {
        layer.texture = &texture;
        material.layers.push_back(&layer);
    }
};

TEST(ParticleCloud, DrawSetsStateTransformsAndIssuesOneDraw) {
    NamedTexture textured;
    ParticleCloud cloud(2, 0.5f);
    cloud.setMaterial(&textured.material);
    cloud.setPosition({1, 2, 3});
    cloud.setRotation({10, 20, 30});
    cloud.setScale({2, 3, 4});

    RecordingRenderState rs;
    cloud.draw(rs, 0.0f);
    EXPECT_EQ(rs.texts(), (Texts{"pushMatrix()",
                                 "setMatrixMode(0)",
                                 "loadIdentity()",
                                 "translate(-1,-2,-3)",
                                 "rotate(10,1,0,0)",
                                 "rotate(20,0,1,0)",
                                 "rotate(30,0,0,1)",
                                 "scale(2,3,4)",
                                 "selectTextureUnit(0)",
                                 "setColor(1,1,1,1)",
                                 "setTexEnv(1)",
                                 "setBlendFunc(0,0)",
                                 "enableBlending()",
                                 "disableCulling()",
                                 "enableDepthTest()",
                                 "disableDepthWrite()",
                                 "disableLighting()",
                                 "bindTexture(0)",
                                 "setVertexArray(3,0,0)",
                                 "setTexCoordArray(2,0,0)",
                                 "drawTriangles(12)",
                                 "enableDepthWrite()",
                                 "popMatrix()"}));
    EXPECT_EQ(rs.calls[18].pointer, cloud.getVertices().data());
    EXPECT_EQ(rs.calls[19].pointer, cloud.getTexCoords().data());
}

TEST(ParticleCloud, EachSpriteIsTwoTrianglesAroundItsCentre) {
    ParticleCloud cloud(2, 0.5f);
    cloud.setCentre(1, {1, 2, 3});
    RecordingRenderState rs;
    cloud.draw(rs, 0.0f);

    const std::vector<Vec3>& v = cloud.getVertices();
    const std::vector<Vec2>& uv = cloud.getTexCoords();
    ASSERT_EQ(v.size(), 12u);
    ASSERT_EQ(uv.size(), 12u);
    // Sprite 0 stays at the origin; sprite 1 follows its centre.
    EXPECT_EQ(v[0].x, -0.5f);
    EXPECT_EQ(v[0].y, 0.5f);
    const float expected[6][5] = {{0.5f, 2.5f, 3, 0, 1}, {1.5f, 2.5f, 3, 1, 1}, {0.5f, 1.5f, 3, 0, 0},
                                  {0.5f, 1.5f, 3, 0, 0}, {1.5f, 2.5f, 3, 1, 1}, {1.5f, 1.5f, 3, 1, 0}};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(v[6 + k].x, expected[k][0]) << k;
        EXPECT_EQ(v[6 + k].y, expected[k][1]) << k;
        EXPECT_EQ(v[6 + k].z, expected[k][2]) << k;
        EXPECT_EQ(uv[6 + k].u, expected[k][3]) << k;
        EXPECT_EQ(uv[6 + k].v, expected[k][4]) << k;
    }

    // A new size and centre take effect in the next draw, in the same arrays.
    const Vec3* before = v.data();
    cloud.setSize(1.0f);
    cloud.setCentre(0, {5, 5, 5});
    cloud.draw(rs, 0.0f);
    EXPECT_EQ(cloud.getVertices().data(), before);
    EXPECT_EQ(v[5].x, 6.0f);
    EXPECT_EQ(v[5].y, 4.0f);
}

TEST(ParticleCloud, DrawAllocatesNothing) {
    NamedTexture textured;
    ParticleCloud cloud(1000, 0.5f);
    cloud.setMaterial(&textured.material);
    NullRenderState rs;
    const std::size_t before = allocationCount();
    for (int frame = 0; frame < 3; ++frame) cloud.draw(rs, float(frame));
    EXPECT_EQ(allocationCount(), before);
    int* volatile probe = new int(1);  // the counter itself works
    delete probe;
    EXPECT_GT(allocationCount(), before);
}

TEST(ParticleCloud, BadCountsAndIndicesAreHarmless) {
    ParticleCloud empty(-5, 1.0f);
    EXPECT_EQ(empty.getCount(), 0);
    empty.setCentre(0, {1, 1, 1});
    RecordingRenderState rs;
    empty.draw(rs, 0.0f);  // no material: draws untextured
    EXPECT_EQ(rs.textsOf("drawTriangles"), Texts{"drawTriangles(0)"});
    EXPECT_TRUE(rs.textsOf("bindTexture").empty());

    ParticleCloud huge(ParticleCloud::MaxCount + 1, 1.0f);
    EXPECT_EQ(huge.getCount(), ParticleCloud::MaxCount);

    ParticleCloud one(1, 1.0f);
    one.setCentre(1, {9, 9, 9});
    one.setCentre(-1, {9, 9, 9});
    EXPECT_EQ(one.getCentre(0).x, 0.0f);
}

}  // namespace
