#include "platform/gles2_shaders.h"

#include <string>

#include "platform/report.h"

namespace gles2 {

namespace {

int unitCode(ProgramKey key, int unit) { return static_cast<int>((key >> (unit * 5)) & 31u); }

GLuint compileShader(GLenum kind, const std::string& source) {
    GLuint shader = glCreateShader(kind);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        QUARN_REPORTF(Error, "shader does not compile: %s\n", log);
    }
    return shader;
}

}  // namespace

Program buildProgram(ProgramKey key) {
    std::string vs =
        "#version 100\n"
        "attribute vec4 aPosition;\nattribute vec3 aNormal;\n"
        "uniform mat4 uModelViewProjection;\nuniform mat4 uModelView;\nuniform mat3 uNormals;\n";
    std::string fs =
        "#version 100\n"
        "#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n#else\nprecision mediump float;\n#endif\n"
        "uniform vec4 uColor;\n";
    std::string vsMain = "void main() {\n    gl_Position = uModelViewProjection * aPosition;\n";
    std::string fsMain = "void main() {\n    vec4 c = clamp(uColor, 0.0, 1.0);\n    vec4 t;\n";
    bool sphere = false;
    for (int u = 0; u < unitCount; ++u) {
        const int code = unitCode(key, u);
        if (code == 0) continue;
        const int env = (code - 1) % 3, gen = (code - 1) / 3;
        const std::string n = std::to_string(u);
        vs += "varying vec2 vTex" + n + ";\n";
        fs += "varying vec2 vTex" + n + ";\nuniform sampler2D uTexture" + n + ";\n";
        if (gen == GenSphere) {
            sphere = true;
            vsMain += "    vTex" + n + " = sphereMap;\n";
        } else if (gen == GenEyeLinear) {
            vsMain += "    vTex" + n + " = (uModelView * aPosition).xy;\n";
        } else if (gen == GenObjectLinear) {
            vsMain += "    vTex" + n + " = aPosition.xy;\n";
        } else {
            vs += "attribute vec2 aTexCoord" + n + ";\n";
            vsMain += "    vTex" + n + " = aTexCoord" + n + ";\n";
        }
        fsMain += "    t = texture2D(uTexture" + n + ", vTex" + n + ");\n";
        if (env == EnvModulate)
            fsMain += "    c = c * t;\n";
        else if (env == EnvAdd)
            fsMain += "    c = vec4(min(c.rgb + t.rgb, 1.0), c.a * t.a);\n";
        else
            fsMain += "    c = t;\n";
    }
    if (sphere) {
        // The reflection of the eye ray about the (unnormalised) eye-space
        // normal, mapped into the unit circle.
        vsMain.insert(vsMain.find('\n') + 1,
                      "    vec3 u = normalize((uModelView * aPosition).xyz);\n"
                      "    vec3 n = uNormals * aNormal;\n"
                      "    vec3 r = u - 2.0 * n * dot(n, u);\n"
                      "    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));\n"
                      "    vec2 sphereMap = r.xy / m + 0.5;\n");
    }
    vs += vsMain + "}\n";
    fs += fsMain + "    gl_FragColor = c;\n}\n";

    Program p;
    p.id = glCreateProgram();
    GLuint v = compileShader(GL_VERTEX_SHADER, vs), f = compileShader(GL_FRAGMENT_SHADER, fs);
    glAttachShader(p.id, v);
    glAttachShader(p.id, f);
    glBindAttribLocation(p.id, attribPosition, "aPosition");
    glBindAttribLocation(p.id, attribNormal, "aNormal");
    for (int u = 0; u < unitCount; ++u)
        glBindAttribLocation(p.id, attribTexCoord0 + u, ("aTexCoord" + std::to_string(u)).c_str());
    glLinkProgram(p.id);
    glDeleteShader(v);
    glDeleteShader(f);
    GLint ok = 0;
    glGetProgramiv(p.id, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        glGetProgramInfoLog(p.id, sizeof log, nullptr, log);
        QUARN_REPORTF(Error, "shader program does not link: %s\n", log);
    }
    glUseProgram(p.id);
    p.modelViewProjection = glGetUniformLocation(p.id, "uModelViewProjection");
    p.modelView = glGetUniformLocation(p.id, "uModelView");
    p.normals = glGetUniformLocation(p.id, "uNormals");
    p.color = glGetUniformLocation(p.id, "uColor");
    for (int u = 0; u < unitCount; ++u) {
        p.samplers[u] = glGetUniformLocation(p.id, ("uTexture" + std::to_string(u)).c_str());
        if (p.samplers[u] >= 0) glUniform1i(p.samplers[u], u);
    }
    return p;
}

}  // namespace gles2
