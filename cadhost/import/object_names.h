// Which of the names a STEP model gives an object it takes: CAD systems fill the name of every body with one they make
// up ("Body16", "PartBody", "*SOL22"), while the designer's name sits on the product.
#ifndef CADHOST_IMPORT_OBJECT_NAMES_H
#define CADHOST_IMPORT_OBJECT_NAMES_H

#include <optional>
#include <string>

namespace cadhost::import {

enum class NameSource {
    automatic,  // the body's own name, unless it is one made up by default and the product has a real name
    product,    // the product's (or its occurrence's) name; the body's own where there is none
    body,       // the body's own name; the product's where there is none
};

// "auto", "product", "body"; nullopt for anything else.
std::optional<NameSource> name_source_of(const std::string& word);

// Names that a reader or writer makes up where the file gives none: the kernel's label references ("=>[0:1:1:14]"),
// the kinds of shapes ("SOLID", "COMPOUND"), its writer's product name. They count as no name.
bool is_placeholder_name(const std::string& name);

// Names that CAD systems give bodies by default, in any of the languages of their tables: kind and feature words
// with or without a number ("Body16", "PartBody", "*SOL22", "Boss-Extrude3", "切除-拉伸5", "Volumenkörper1",
// "CirPattern1", "… Brep Model") or a bare hexadecimal handle ("96A").
bool is_default_body_name(const std::string& name);

// The name an object takes from its body's own name and its product's name (either may be empty).
std::string chosen_name(const std::string& body, const std::string& product, NameSource source);

}  // namespace cadhost::import

#endif
