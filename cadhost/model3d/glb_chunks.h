// The two chunks of a binary glTF file: its JSON text and its binary buffer.
#ifndef CADHOST_MODEL3D_GLB_CHUNKS_H
#define CADHOST_MODEL3D_GLB_CHUNKS_H

#include <string>

namespace cadhost::model3d {

struct GlbChunks {
    std::string json;
    std::string bin;
};

// Splits a GLB file's bytes; false with the reason when they are no GLB of version 2.
bool split_glb(const std::string& bytes, GlbChunks& chunks, std::string& error);

// The GLB file of the chunks, each padded to four bytes as the format asks (the JSON with spaces, the buffer with
// zeros).
std::string join_glb(const GlbChunks& chunks);

}  // namespace cadhost::model3d

#endif
