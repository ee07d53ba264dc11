#include "platform/gles2_vertex_stream.h"

namespace gles2 {

namespace {

// Client arrays need not be aligned, so each component is copied out.
template <typename T>
float loadAs(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return static_cast<float>(v);
}

void setSlot(VertexStream& stream, GLuint slot, bool on, bool force) {
    const unsigned bit = 1u << slot;
    if (!force && ((stream.enabledSlots & bit) != 0) == on) return;
    on ? glEnableVertexAttribArray(slot) : glDisableVertexAttribArray(slot);
    stream.enabledSlots = on ? stream.enabledSlots | bit : stream.enabledSlots & ~bit;
}

}  // namespace

Component componentOf(ElementType code) {
    switch (code) {
    case ElementFloat:
        return Component::Float;
    case ElementDouble:
        return Component::Double;
    case ElementInt:
        return Component::Int;
    case ElementShort:
        return Component::Short;
    case ElementUnsignedInt:
        return Component::UnsignedInt;
    default:
        return Component::None;
    }
}

int elementBytes(Component type) {
    switch (type) {
    case Component::Double:
        return 8;
    case Component::Short:
        return 2;
    case Component::None:
        return 0;
    default:
        return 4;
    }
}

void ClientArray::read(uint32_t index, float* out) const {
    const int bytes = elementBytes(type);
    const int step = stride > 0 ? stride : size * bytes;
    const auto* p = static_cast<const unsigned char*>(data) + static_cast<size_t>(index) * step;
    for (int c = 0; c < size; ++c, p += bytes) {
        switch (type) {
        case Component::Float:
            out[c] = loadAs<float>(p);
            break;
        case Component::Double:
            out[c] = loadAs<double>(p);
            break;
        case Component::Int:
            out[c] = loadAs<int32_t>(p);
            break;
        case Component::Short:
            out[c] = loadAs<int16_t>(p);
            break;
        case Component::UnsignedInt:
            out[c] = loadAs<uint32_t>(p);
            break;
        case Component::None:
            out[c] = 0.0f;
            break;
        }
    }
}

void streamVertices(VertexStream& stream, const StreamSource& source, const std::vector<uint32_t>& order,
                    GLuint positionSlot, GLuint normalSlot, GLuint slotCount) {
    const bool needNormals = source.normals != nullptr;
    const int floatsPerVertex = 4 + (needNormals ? 3 : 0) + 2 * source.texCoordCount;
    stream.streamed.resize(order.size() * static_cast<size_t>(floatsPerVertex));
    float* out = stream.streamed.data();
    for (uint32_t index : order) {
        float position[4] = {0, 0, 0, 1};
        source.vertices->read(index, position);
        std::memcpy(out, position, sizeof position);
        out += 4;
        if (needNormals) {
            float normal[3] = {0, 0, 1};
            if (source.normals->enabled && source.normals->data) source.normals->read(index, normal);
            std::memcpy(out, normal, sizeof normal);
            out += 3;
        }
        for (int i = 0; i < source.texCoordCount; ++i) {
            const ClientArray& coords = *source.texCoords[i];
            float st[4] = {0, 0, 0, 1};
            if (coords.enabled && coords.data) coords.read(index, st);
            out[0] = st[0];
            out[1] = st[1];
            out += 2;
        }
    }

    if (stream.buffer == 0) {
        glGenBuffers(1, &stream.buffer);
        stream.bindingKnown = false;
    }
    // Unknown, everything is set as if GL held the opposite.
    const bool force = !stream.bindingKnown;
    if (force) glBindBuffer(GL_ARRAY_BUFFER, stream.buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(stream.streamed.size() * sizeof(float)),
                 stream.streamed.data(), GL_STREAM_DRAW);
    const GLsizei stride = floatsPerVertex * static_cast<GLsizei>(sizeof(float));
    auto offset = [](int floats) {
        return reinterpret_cast<const void*>(static_cast<uintptr_t>(floats) * sizeof(float));
    };
    glVertexAttribPointer(positionSlot, 4, GL_FLOAT, GL_FALSE, stride, offset(0));
    int at = 4;
    unsigned used = 1u << positionSlot;
    if (needNormals) {
        glVertexAttribPointer(normalSlot, 3, GL_FLOAT, GL_FALSE, stride, offset(at));
        used |= 1u << normalSlot;
        at += 3;
    }
    for (int i = 0; i < source.texCoordCount; ++i) {
        glVertexAttribPointer(source.texCoordSlots[i], 2, GL_FLOAT, GL_FALSE, stride, offset(at));
        used |= 1u << source.texCoordSlots[i];
        at += 2;
    }
    for (GLuint slot = 0; slot < slotCount; ++slot) setSlot(stream, slot, (used >> slot) & 1u, force);
    stream.bindingKnown = true;
}

void releaseVertexStream(VertexStream& stream) {
    if (stream.buffer != 0) glDeleteBuffers(1, &stream.buffer);
    stream.buffer = 0;
    stream.bindingKnown = false;
}

}  // namespace gles2
