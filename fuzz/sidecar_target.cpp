// The attribute file reader, on a part with objects on a few layers.
#include <BRepPrimAPI_MakeBox.hxx>

#include "cadhost/import/sidecar.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const cadhost::Document part = [] {
        cadhost::Document doc;
        for (int layer : {1, 6, 240}) {
            const tag_t body = doc.add_body(BRepPrimAPI_MakeBox(10, 10, 10).Shape(), false);
            doc.set_layer(body, layer);
            doc.set_name(body, "E0" + std::to_string(layer % 10));
            doc.set_layer(doc.add_line(gp_Pnt(0, 0, 0), gp_Pnt(1, 1, 0)), layer);
        }
        return doc;
    }();
    cadhost::Document doc = part;
    std::string error;
    cadhost::import::apply_sidecar_text(std::string(reinterpret_cast<const char*>(data), size), "fuzz", doc, error);
    return 0;
}
