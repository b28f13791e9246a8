// The displayed part.
#include "cadhost/api/boundary.h"
#include "host/uf_part.h"

using cadhost::Document;
using cadhost::Part;
using cadhost::api::with_part;

namespace {
// The part object is the first one every document makes, so it holds the lowest tag.
tag_t part_tag(const Document& doc) {
    auto first = doc.objects().begin();
    return first != doc.objects().end() && first->second.type == UF_part_type ? first->first : NULL_TAG;
}
}  // namespace

extern "C" {

tag_t UF_PART_ask_display_part(void) {
    tag_t answer = NULL_TAG;
    with_part([&](Part&, Document& doc) {
        answer = part_tag(doc);
        return UF_ok;
    });
    return answer;
}

int UF_PART_ask_part_name(tag_t part, char name[UF_CFI_MAX_PATH_NAME_SIZE]) {
    if (!name) return UF_err_bad_argument;
    name[0] = '\0';
    return with_part([&](Part& displayed, Document& doc) {
        if (part == NULL_TAG || part != part_tag(doc)) return UF_err_bad_tag;
        return cadhost::api::copy_text(displayed.path, name, UF_CFI_MAX_PATH_NAME_SIZE) ? UF_ok
                                                                                        : UF_err_buffer_too_small;
    });
}

}  // extern "C"
