#include "support/recording_render_state.h"

#include <cstdio>

std::string RecordingRenderState::Call::text() const {
    std::string out = name + "(";
    for (size_t i = 0; i < args.size(); ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%g", args[i]);
        if (i) out += ",";
        out += number;
    }
    return out + ")";
}

std::vector<std::string> RecordingRenderState::texts() const {
    std::vector<std::string> out;
    out.reserve(calls.size());
    for (const Call& call : calls) out.push_back(call.text());
    return out;
}

std::vector<std::string> RecordingRenderState::textsOf(const std::string& name) const {
    std::vector<std::string> out;
    for (const Call& call : calls)
        if (call.name == name) out.push_back(call.text());
    return out;
}

void RecordingRenderState::record(const char* name, std::vector<double> args, const void* pointer) {
    calls.push_back(Call{name, std::move(args), pointer});
}

void RecordingRenderState::setClearColor(Color c) {
    record("setClearColor", {double(c.r), double(c.g), double(c.b), double(c.a)});
}
void RecordingRenderState::setMatrixMode(MatrixMode mode) { record("setMatrixMode", {double(mode)}); }
void RecordingRenderState::loadIdentity() { record("loadIdentity"); }
void RecordingRenderState::pushMatrix() { record("pushMatrix"); }
void RecordingRenderState::popMatrix() { record("popMatrix"); }
void RecordingRenderState::setPerspective(float fovY, float aspect, float zNear, float zFar) {
    record("setPerspective", {fovY, aspect, zNear, zFar});
}
void RecordingRenderState::setOrtho2D(float left, float right, float bottom, float top) {
    record("setOrtho2D", {left, right, bottom, top});
}
void RecordingRenderState::ortho(float left, float right, float bottom, float top, float zNear, float zFar) {
    record("ortho", {left, right, bottom, top, zNear, zFar});
}
void RecordingRenderState::translate(float x, float y, float z) { record("translate", {x, y, z}); }
void RecordingRenderState::rotate(float angle, float x, float y, float z) { record("rotate", {angle, x, y, z}); }
void RecordingRenderState::scale(float x, float y, float z) { record("scale", {x, y, z}); }
void RecordingRenderState::clearDepthBuffer() { record("clearDepthBuffer"); }
void RecordingRenderState::clearColorBuffer() { record("clearColorBuffer"); }
void RecordingRenderState::setTexGen(TexGenMode mode) { record("setTexGen", {double(mode)}); }
void RecordingRenderState::disableTexGen() { record("disableTexGen"); }
void RecordingRenderState::setTexEnv(TexEnvMode mode) { record("setTexEnv", {double(mode)}); }
void RecordingRenderState::enableCulling() { record("enableCulling"); }
void RecordingRenderState::disableCulling() { record("disableCulling"); }
void RecordingRenderState::enableDepthTest() { record("enableDepthTest"); }
void RecordingRenderState::disableDepthTest() { record("disableDepthTest"); }
void RecordingRenderState::enableDepthWrite() { record("enableDepthWrite"); }
void RecordingRenderState::disableDepthWrite() { record("disableDepthWrite"); }
void RecordingRenderState::enableLighting() { record("enableLighting"); }
void RecordingRenderState::disableLighting() { record("disableLighting"); }
void RecordingRenderState::enableBlending() { record("enableBlending"); }
void RecordingRenderState::disableBlending() { record("disableBlending"); }
void RecordingRenderState::setSmoothShading() { record("setSmoothShading"); }
void RecordingRenderState::setFlatShading() { record("setFlatShading"); }
void RecordingRenderState::setColor(float red, float green, float blue, float alpha) {
    record("setColor", {red, green, blue, alpha});
}
void RecordingRenderState::selectTextureUnit(int unit) { record("selectTextureUnit", {double(unit)}); }
uint32_t RecordingRenderState::createTexture(int width, int height, const void* pixels, TextureWrap wrap,
                                             TextureFilter filter) {
    record("createTexture", {double(width), double(height), double(wrap), double(filter)}, pixels);
    return nextTextureName++;
}
void RecordingRenderState::setTextureFilter(TextureFilter filter) { record("setTextureFilter", {double(filter)}); }
void RecordingRenderState::deleteTexture(uint32_t name) { record("deleteTexture", {double(name)}); }
void RecordingRenderState::bindTexture(uint32_t name) { record("bindTexture", {double(name)}); }
void RecordingRenderState::disableTextureUnit(int unit) { record("disableTextureUnit", {double(unit)}); }
void RecordingRenderState::setBlendFunc(BlendFactor source, BlendFactor destination) {
    record("setBlendFunc", {double(source), double(destination)});
}
void RecordingRenderState::setVertexArray(const void* data, int size, ElementType type, int stride) {
    record("setVertexArray", {double(size), double(type), double(stride)}, data);
}
void RecordingRenderState::setNormalArray(const void* data, int size, ElementType type, int stride) {
    record("setNormalArray", {double(size), double(type), double(stride)}, data);
}
void RecordingRenderState::setTexCoordArray(const void* data, int size, ElementType type, int stride) {
    record("setTexCoordArray", {double(size), double(type), double(stride)}, data);
}
void RecordingRenderState::setIndexArray(const void* indices, int count, ElementType type) {
    record("setIndexArray", {double(count), double(type)}, indices);
}
void RecordingRenderState::drawTriangles(int count) { record("drawTriangles", {double(count)}); }
void RecordingRenderState::drawIndexedTriangles() { record("drawIndexedTriangles"); }
void RecordingRenderState::drawQuads(int count) { record("drawQuads", {double(count)}); }
void RecordingRenderState::setViewport(int x, int y, int width, int height) {
    record("setViewport", {double(x), double(y), double(width), double(height)});
}
