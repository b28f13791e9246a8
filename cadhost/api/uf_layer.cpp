// Layers and their states.
#include "cadhost/api/boundary.h"
#include "host/uf_layer.h"

using cadhost::Document;
using cadhost::Part;
using cadhost::api::with_part;

namespace {
bool known_status(int status) {
    return status == UF_LAYER_WORK_LAYER || status == UF_LAYER_ACTIVE_LAYER || status == UF_LAYER_REFERENCE_LAYER ||
           status == UF_LAYER_INACTIVE_LAYER;
}
}  // namespace

extern "C" {

int UF_LAYER_cycle_by_layer(int layer, tag_t* object) {
    if (!object) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (!Document::valid_layer(layer)) {
            *object = NULL_TAG;
            return UF_err_bad_layer;
        }
        *object = doc.next_on_layer(layer, *object);
        return UF_ok;
    });
}

int UF_LAYER_set_status(int layer, int status) {
    return with_part([&](Part&, Document& doc) {
        if (!known_status(status)) return UF_err_bad_argument;
        return doc.set_layer_status(layer, status) ? UF_ok : UF_err_bad_layer;
    });
}

int UF_LAYER_ask_status(int layer, int* status) {
    if (!status) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (!Document::valid_layer(layer)) return UF_err_bad_layer;
        *status = doc.layer_status(layer);
        return UF_ok;
    });
}

int UF_LAYER_set_all_but_work(int status) {
    return with_part([&](Part&, Document& doc) {
        if (!known_status(status) || status == UF_LAYER_WORK_LAYER) return UF_err_bad_argument;
        doc.set_all_but_work(status);
        return UF_ok;
    });
}

int UF_LAYER_ask_work_layer(int* layer) {
    if (!layer) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        *layer = doc.work_layer();
        return UF_ok;
    });
}

}  // extern "C"
