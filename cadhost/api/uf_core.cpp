// Opening and closing the interface, memory, failure messages, application module, undo marks.
#include <cstdlib>
#include <cstring>

#include "cadhost/api/boundary.h"
#include "host/uf.h"

namespace {

struct FailMessage {
    int code;
    const char* text;
};

// One text per status code the host returns.
constexpr FailMessage kFailMessages[] = {
    {UF_err_not_initialized, "The host interface is not open: call UF_initialize first"},
    {UF_err_no_part, "No part is displayed"},
    {UF_err_bad_tag, "The tag does not name an object of the displayed part"},
    {UF_err_wrong_type, "The object is not of a kind this operation takes"},
    {UF_err_bad_argument, "An argument is missing or out of range"},
    {UF_err_bad_layer, "The layer is outside 1 to 256, or the work layer cannot take that state"},
    {UF_err_no_name, "The object has no name"},
    {UF_err_name_too_long, "The name is longer than 30 characters"},
    {UF_err_attr_not_found, "The object has no attribute of that title and type"},
    {UF_err_geometry, "The geometry kernel could not answer for this object"},
    {UF_err_bad_list, "The list does not exist or the index lies outside it"},
    {UF_err_no_memory, "The host ran out of memory"},
    {UF_err_buffer_too_small, "The answer is longer than the buffer given for it"},
    {UF_err_io, "A file could not be read or written"},
    {UF_err_not_supported, "The host does not offer this operation for that object"},
    {UF_err_internal, "An unexpected failure occurred inside the host"},
    {UF_err_view_not_found, "No model view of the part has that name"},
    {UF_err_name_taken, "Another object of that kind already has this name"},
    {UF_err_no_drawing, "There is no current drawing"},
};

}  // namespace

extern "C" {

int UF_initialize(void) {
    cadhost::Session::instance().open();
    return UF_ok;
}

int UF_terminate(void) { return cadhost::Session::instance().close() ? UF_ok : UF_err_not_initialized; }

void UF_free(void* data) { std::free(data); }

int UF_get_fail_message(int status, char message[UF_MAX_FAIL_MESSAGE_SIZE]) {
    if (!message) return UF_err_bad_argument;
    message[0] = '\0';
    for (const auto& entry : kFailMessages) {
        if (entry.code == status) {
            std::strncpy(message, entry.text, UF_MAX_FAIL_MESSAGE_SIZE - 1);
            message[UF_MAX_FAIL_MESSAGE_SIZE - 1] = '\0';
            return UF_ok;
        }
    }
    return UF_err_bad_argument;
}

int UF_ask_application_module(int* module) {
    if (!module) return UF_err_bad_argument;
    return cadhost::api::with_part([&](cadhost::Part&, cadhost::Document& doc) {
        *module = doc.application_module();
        return UF_ok;
    });
}

int UF_UNDO_set_mark(int visibility, const char* /*name*/, UF_UNDO_mark_id_t* mark_id) {
    static UF_UNDO_mark_id_t last_mark = 0;
    return cadhost::api::with_part([&](cadhost::Part& part, cadhost::Document& doc) {
        if (visibility != UF_UNDO_visible && visibility != UF_UNDO_invisible) return UF_err_bad_argument;
        if (visibility == UF_UNDO_visible) part.undo_mark = doc;
        if (mark_id) *mark_id = ++last_mark;
        return UF_ok;
    });
}

}  // extern "C"
