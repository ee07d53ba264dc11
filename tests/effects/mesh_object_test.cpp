#include "effects/mesh_object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/mesh.h"
#include "assets/texture.h"
#include "effects/material.h"
#include "support/recording_render_state.h"

namespace {

using Texts = std::vector<std::string>;

struct Fixture {
    Mesh mesh{3, 1};
    std::vector<Vec2> texCoords{3};
    Material material;
    Texture texture{nullptr, false};
    Texture environment{nullptr, false};
    TextureLayer plainLayer{&texture, LayerKindPlain};
    TextureLayer environmentLayer{&environment, LayerKindEnvironment};
    MeshObject object;
    RecordingRenderState rs;

    Fixture() {
        mesh.setVertex(1, 1.0f, 0.0f, 0.0f);
        mesh.setVertex(2, 0.0f, 1.0f, 0.0f);
        mesh.setPolygon(0, 0, 1, 2);
        mesh.computeNormals();
        object.setMesh(&mesh);
        object.setMaterial(&material);
        object.setTexCoords(texCoords.data(), 3);
        object.setPosition({0.0f, 0.0f, 2.0f});
    }
};

const Texts transform = {"setMatrixMode(0)", "loadIdentity()",  "translate(-0,-0,-2)", "rotate(0,1,0,0)",
                         "rotate(0,0,1,0)",  "rotate(0,0,0,1)", "scale(1,1,1)"};
const Texts arraysAndDraw = {"setVertexArray(3,0,0)", "setNormalArray(3,0,0)", "setIndexArray(3,4)",
                             "drawIndexedTriangles()", "disableTextureUnit(1)"};

Texts concat(std::initializer_list<Texts> parts) {
    Texts out;
    for (const Texts& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

}  // namespace

TEST(MeshObject, OpaqueFlatMaterialWithOnePlainLayer) {
    Fixture f;
    f.material.layers = {&f.plainLayer};
    f.object.draw(f.rs, 0.0f);
    EXPECT_EQ(f.rs.texts(),
              concat({transform,
                      {"setFlatShading()", "selectTextureUnit(0)", "bindTexture(0)", "setTexCoordArray(2,0,0)",
                       "enableBlending()", "setBlendFunc(0,0)", "setTexEnv(2)", "selectTextureUnit(1)",
                       "setTexCoordArray(2,0,0)", "enableCulling()", "enableDepthTest()", "disableBlending()"},
                      arraysAndDraw}));
    // The mesh's own arrays go to GL, no copies.
    EXPECT_EQ(f.rs.calls[f.rs.calls.size() - 5].pointer, f.mesh.getVertices());
    EXPECT_EQ(f.rs.calls[f.rs.calls.size() - 4].pointer, f.mesh.getVertexNormals());
    EXPECT_EQ(f.rs.calls[f.rs.calls.size() - 3].pointer, f.mesh.getPolygons());
    EXPECT_EQ(f.rs.calls[10].pointer, f.texCoords.data());
}

TEST(MeshObject, SeeThroughSmoothMaterialDrawsAdditivelyWithoutCullingOrDepth) {
    Fixture f;
    f.material.flags = MaterialSeeThrough | MaterialSmoothShading;
    f.material.layers = {&f.plainLayer};
    f.object.draw(f.rs, 0.0f);
    const Texts texts = f.rs.texts();
    EXPECT_EQ(texts[7], "setSmoothShading()");
    EXPECT_EQ(Texts(texts.end() - 8, texts.end() - 5),
              (Texts{"disableCulling()", "disableDepthTest()", "enableBlending()"}));
    EXPECT_EQ(f.rs.textsOf("setBlendFunc"), Texts{"setBlendFunc(0,0)"});
}

// The sphere map is generated for this draw only: later draws on the unit
// read their own coordinates.
TEST(MeshObject, SecondLayerIsSphereMappedAndAddedOnUnitOneForThisDrawOnly) {
    Fixture f;
    f.material.layers = {&f.plainLayer, &f.environmentLayer};
    f.object.draw(f.rs, 0.0f);
    EXPECT_EQ(f.rs.texts(), concat({transform, {"setFlatShading()",       "selectTextureUnit(0)",
                                                "bindTexture(0)",         "setTexCoordArray(2,0,0)",
                                                "enableBlending()",       "setBlendFunc(0,0)",
                                                "setTexEnv(2)",           "selectTextureUnit(1)",
                                                "bindTexture(0)",         "setTexCoordArray(2,0,0)",
                                                "enableBlending()",       "setBlendFunc(0,0)",
                                                "setTexGen(0)",           "setTexEnv(0)",
                                                "enableCulling()",        "enableDepthTest()",
                                                "disableBlending()",      "setVertexArray(3,0,0)",
                                                "setNormalArray(3,0,0)",  "setIndexArray(3,4)",
                                                "drawIndexedTriangles()", "selectTextureUnit(1)",
                                                "disableTexGen()",        "disableTextureUnit(1)"}}));
}

TEST(MeshObject, UnusedUnitsGetTheMeshCoordinatesAndExtraLayersAreDropped) {
    Fixture f;
    f.object.draw(f.rs, 0.0f);
    EXPECT_EQ(f.rs.textsOf("selectTextureUnit"), (Texts{"selectTextureUnit(0)", "selectTextureUnit(1)"}));
    for (const auto& call : f.rs.calls) {
        if (call.name == "setTexCoordArray") {
            EXPECT_EQ(call.pointer, f.texCoords.data());
        }
    }
    EXPECT_TRUE(f.rs.textsOf("bindTexture").empty());

    f.rs.clear();
    f.material.layers.assign(6, &f.plainLayer);
    f.object.draw(f.rs, 0.0f);
    EXPECT_EQ(f.rs.textsOf("bindTexture").size(), 4u);
    EXPECT_EQ(f.rs.textsOf("selectTextureUnit").back(), "selectTextureUnit(3)");
}

TEST(MeshObject, UnsafeMeshesAreNotDrawnAndReportedOnce) {
    struct Case {
        const char* name;
        void (*spoil)(Fixture&);
        const char* message;
    };
    const Case cases[] = {
        {"index past the vertices", [](Fixture& f) { f.mesh.setPolygon(0, 0, 1, 3); },
         "mesh has polygon indices outside its vertices, not drawn\n"},
        {"negative index", [](Fixture& f) { f.mesh.setPolygon(0, -1, 1, 2); },
         "mesh has polygon indices outside its vertices, not drawn\n"},
        {"short coordinates", [](Fixture& f) { f.object.setTexCoords(f.texCoords.data(), 2); },
         "mesh object has too few texture coordinates, not drawn\n"},
        {"no material", [](Fixture& f) { f.object.setMaterial(nullptr); },
         "mesh object has no mesh or material, not drawn\n"},
    };
    for (const Case& c : cases) {
        Fixture f;
        c.spoil(f);
        testing::internal::CaptureStderr();
        f.object.draw(f.rs, 0.0f);
        f.object.draw(f.rs, 0.0f);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message) << c.name;
        EXPECT_TRUE(f.rs.calls.empty()) << c.name;
    }
}
