#pragma once
// Client arrays for OpenGL ES 2 and WebGL 1, which draw only from buffers:
// the vertices a draw reads are copied out of the caller's arrays, in draw
// order and as floats, into one interleaved stream buffer.
#include <GLES2/gl2.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/render_state.h"

namespace gles2 {

enum class Component { None, Float, Double, Int, Short, UnsignedInt };

Component componentOf(ElementType code);
int elementBytes(Component type);

struct ClientArray {
    const void* data = nullptr;
    int size = 4;
    Component type = Component::Float;
    int stride = 0;
    bool enabled = false;
    bool setForDraw = false;  // set since the previous draw

    // Reads element `index` into out (up to `size` components).
    void read(uint32_t index, float* out) const;
};

// What one draw streams: positions always (four floats), normals when asked
// (three), then two coordinates for each listed array.
struct StreamSource {
    const ClientArray* vertices = nullptr;
    const ClientArray* normals = nullptr;  // null: none streamed
    const ClientArray* texCoords[4] = {};
    GLuint texCoordSlots[4] = {};  // the attribute slot of each
    int texCoordCount = 0;
};

// The stream buffer and the attribute state GL holds for it.
struct VertexStream {
    GLuint buffer = 0;
    std::vector<float> streamed;
    // What GL holds, as far as this stream knows: after code outside the
    // render state drew, nothing.
    bool bindingKnown = false;
    unsigned enabledSlots = 0;  // bit per attribute slot
};

// Fills the buffer with the vertices of order and points the attribute
// slots at it: position at slot positionSlot, normals at normalSlot, the
// coordinates at their slots; every other slot below slotCount is disabled.
void streamVertices(VertexStream& stream, const StreamSource& source, const std::vector<uint32_t>& order,
                    GLuint positionSlot, GLuint normalSlot, GLuint slotCount);
// Frees the buffer; only with the context it was made in current.
void releaseVertexStream(VertexStream& stream);

}  // namespace gles2
