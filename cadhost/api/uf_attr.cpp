// Attributes on objects.
#include <cmath>
#include <cstring>

#include "cadhost/api/boundary.h"
#include "host/uf_attr.h"

using cadhost::Attribute;
using cadhost::Document;
using cadhost::Object;
using cadhost::Part;
using cadhost::api::with_part;

namespace {

int type_of(const Attribute& attribute) {
    if (std::holds_alternative<int>(attribute.value)) return UF_ATTR_integer;
    if (std::holds_alternative<double>(attribute.value)) return UF_ATTR_real;
    return UF_ATTR_string;
}

const Attribute* find(const Object& object, const char* title, int type) {
    const std::string wanted = Document::fold_case(title);
    for (const auto& attribute : object.attributes) {
        if (Document::fold_case(attribute.title) != wanted) continue;
        if (type == UF_ATTR_any || type == type_of(attribute)) return &attribute;
    }
    return nullptr;
}

bool valid_type(int type) {
    return type == UF_ATTR_any || type == UF_ATTR_integer || type == UF_ATTR_real || type == UF_ATTR_string;
}

bool valid_title(const char* title) {
    return title && title[0] && std::strlen(title) <= UF_ATTR_MAX_TITLE_LEN && cadhost::is_utf8(title);
}

}  // namespace

extern "C" {

int UF_ATTR_find_attribute(tag_t object, int type, const char* title, int* found_type) {
    if (!found_type || !title || !valid_type(type)) return UF_err_bad_argument;
    *found_type = 0;
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        if (const Attribute* attribute = find(*found, title, type)) *found_type = type_of(*attribute);
        return UF_ok;
    });
}

int UF_ATTR_read_value(tag_t object, const char* title, int type, UF_ATTR_value_t* value) {
    if (!value || !title || !valid_type(type)) return UF_err_bad_argument;
    value->type = 0;
    value->value.string = nullptr;
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        const Attribute* attribute = find(*found, title, type);
        if (!attribute) return UF_err_attr_not_found;
        value->type = type_of(*attribute);
        if (const int* i = std::get_if<int>(&attribute->value))
            value->value.integer = *i;
        else if (const double* r = std::get_if<double>(&attribute->value))
            value->value.real = *r;
        else
            value->value.string = cadhost::api::host_strdup(std::get<std::string>(attribute->value));
        return UF_ok;
    });
}

int UF_ATTR_assign(tag_t object, const char* title, UF_ATTR_value_t value) {
    if (!valid_title(title)) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        cadhost::AttrValue stored;
        switch (value.type) {
            case UF_ATTR_integer:
                stored = value.value.integer;
                break;
            case UF_ATTR_real:
                if (!std::isfinite(value.value.real)) return UF_err_bad_argument;
                stored = value.value.real;
                break;
            case UF_ATTR_string:
                if (!value.value.string || !cadhost::is_utf8(value.value.string)) return UF_err_bad_argument;
                stored = std::string(value.value.string);
                break;
            default:
                return UF_err_bad_argument;
        }
        const std::string wanted = Document::fold_case(title);
        for (auto& attribute : found->attributes) {
            if (Document::fold_case(attribute.title) == wanted) {
                attribute = Attribute{title, std::move(stored)};
                return UF_ok;
            }
        }
        found->attributes.push_back(Attribute{title, std::move(stored)});
        return UF_ok;
    });
}

int UF_ATTR_delete(tag_t object, const char* title) {
    if (!title) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        const std::string wanted = Document::fold_case(title);
        auto& list = found->attributes;
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (Document::fold_case(it->title) == wanted) {
                list.erase(it);
                return UF_ok;
            }
        }
        return UF_err_attr_not_found;
    });
}

}  // extern "C"
