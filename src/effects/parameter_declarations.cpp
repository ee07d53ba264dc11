#include "effects/parameter_declarations.h"

#include "effects/fx_gl_uv_map.h"
#include "effects/fx_render_parametric.h"
#include "effects/particle_count.h"

namespace {

using Use = ParameterUse;

std::vector<EffectTypeDeclaration> makeDeclarations() {
    const ParameterDeclaration picture{.name = "textureFilename", .use = Use::Picture, .required = true};
    const ParameterDeclaration alphaPicture{"alphaFilename", Use::Picture};
    const ParameterDeclaration particleCount{
        .name = "numParticles", .use = Use::Integer, .required = true, .usedValue = usableParticleCount};
    // The layer moves only when both offsets are given.
    auto motion = [](std::string_view name, std::string_view other) {
        return ParameterDeclaration{.name = name,
                                    .use = Use::Expression,
                                    .variables = "t",
                                    .onlyWith = other,
                                    .unread = "the layer does not move"};
    };
    auto ofTime = [](std::string_view name) { return ParameterDeclaration{name, Use::Expression, "t"}; };
    return {
        {"Effect", {}, {}},
        {"FxGLLayerObject",
         {picture,
          alphaPicture,
          {.name = "transparency", .use = Use::Word, .required = true, .choices = "solid additive modulating"},
          {.name = "alpha", .use = Use::Expression, .variables = "t", .required = true},
          ofTime("uscroll"),
          ofTime("vscroll"),
          motion("motionx", "motiony"),
          motion("motiony", "motionx"),
          ofTime("sizex"),
          ofTime("sizey"),
          ofTime("angle")},
         {}},
        {"FxGLUVMap",
         {picture,
          {.name = "resolution", .use = Use::Integer, .usedValue = usableUVMapResolution},
          {"u", Use::Expression, "x,y,r,a,t"},
          {"v", Use::Expression, "x,y,r,a,t"}},
         {}},
        {"FxRenderParametric",
         {{"function", Use::Expression, "x,y,r,a,t"},
          {.name = "resolutionx", .use = Use::Integer, .onlyWith = "function", .usedValue = usableGridResolution},
          {.name = "resolutiony", .use = Use::Integer, .onlyWith = "function", .usedValue = usableGridResolution},
          {.name = "object", .use = Use::Object, .required = true, .onlyWithout = "function"},
          ofTime("position.x"),
          ofTime("position.y"),
          ofTime("position.z"),
          ofTime("orientation.x"),
          ofTime("orientation.y"),
          ofTime("orientation.z"),
          {"transparent", Use::Word},
          picture,
          alphaPicture,
          {"mapping", Use::Word},
          {"envFilename", Use::Picture}},
         {"pushback", "offset"}},
        {"FxRenderParticles",
         {particleCount,
          picture,
          ofTime("position.x"),
          ofTime("position.y"),
          ofTime("position.z"),
          ofTime("orientation.x"),
          ofTime("orientation.y"),
          ofTime("orientation.z"),
          {.name = "particle.x", .use = Use::Expression, .variables = "t,i,n", .knowsPi = true},
          {.name = "particle.y", .use = Use::Expression, .variables = "t,i,n", .knowsPi = true},
          {.name = "particle.z", .use = Use::Expression, .variables = "t,i,n", .knowsPi = true},
          ofTime("alpha"),
          ofTime("particle.size")},
         {"offset"}},
        {"FxAsmParticles",
         {particleCount,
          {.name = "particle.size", .use = Use::Number, .required = true},
          {.name = "calc", .use = Use::Word, .required = true, .choices = "Particles1"},
          picture},
         {"zrotate"}},
    };
}

}  // namespace

const std::vector<EffectTypeDeclaration>& effectTypeDeclarations() {
    static const std::vector<EffectTypeDeclaration> declarations = makeDeclarations();
    return declarations;
}

const EffectTypeDeclaration* findEffectTypeDeclaration(std::string_view typeName) {
    for (const EffectTypeDeclaration& type : effectTypeDeclarations())
        if (type.typeName == typeName) return &type;
    return nullptr;
}

const ParameterDeclaration* findParameterDeclaration(const EffectTypeDeclaration& type, std::string_view name) {
    for (const ParameterDeclaration& parameter : type.parameters)
        if (parameter.name == name) return &parameter;
    return nullptr;
}

ParameterKind storedKind(ParameterUse use) {
    switch (use) {
    case ParameterUse::Number:
        return ParameterKind::Float;
    case ParameterUse::Integer:
        return ParameterKind::Integer;
    default:
        return ParameterKind::Text;
    }
}

std::string describeUse(const ParameterDeclaration& parameter) {
    switch (parameter.use) {
    case ParameterUse::Number:
        return "float";
    case ParameterUse::Integer:
        return "integer";
    case ParameterUse::Word:
        return "text";
    case ParameterUse::Picture:
        return "picture";
    case ParameterUse::Object:
        return "object file";
    case ParameterUse::Expression:
        break;
    }
    std::string variables;
    for (char c : parameter.variables) variables += c == ',' ? std::string(", ") : std::string(1, c);
    return "expression of " + variables;
}
