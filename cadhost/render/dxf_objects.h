// The OBJECTS section of an R2000 drawing: the named-object dictionaries and the layouts the block records point to.
#ifndef CADHOST_RENDER_DXF_OBJECTS_H
#define CADHOST_RENDER_DXF_OBJECTS_H

#include <dl_writer.h>

namespace cadhost::render {

// Handles the tables section refers to: the block records of model and paper space and the layouts that go with them.
struct DxfLayoutHandles {
    int model_record = 0x1F;
    int paper_record = 0x1B;
    int paper0_record = 0x23;
};

// Writes the section with every object's owner named, so that a strict reader has nothing to repair. Fixed handles
// below 0x30 are those the tables section leaves free; the variable dictionary takes the writer's next three handles,
// so nothing may be written after this section but the end of file.
void write_dxf_objects(const DL_Writer& dw, const DxfLayoutHandles& records = {});

}  // namespace cadhost::render

#endif
