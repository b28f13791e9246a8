#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <TopoDS_Shape.hxx>

namespace cadhost::import {

// One object of a STEP model as the part will hold it: a single body, curve or point.
struct StepObject {
    TopoDS_Shape shape;        // exactly one of: TopoDS_Solid, a sheet (TopoDS_Shell or TopoDS_Face), TopoDS_Edge,
                               // TopoDS_Vertex; placed in model coordinates
    std::string name;          // UTF-8, empty when none: the one chosen from the two below by NameSource::automatic
    std::string body_name;     // the representation item's own name, empty when none
    std::string product_name;  // its product's name, else its assembly occurrence's; empty when none
    std::string layer_name;    // empty when none; when the file gives several layers, the first
    std::optional<std::uint32_t> colour;  // 0xRRGGBB from the file's styled items; none when it gives none
    std::string stored;                   // the shape in the part file's form, read back once when it was checked
};

struct StepReadResult {
    bool ok = false;
    std::string error;                  // when !ok: names the file and what went wrong
    std::vector<StepObject> objects;    // in the order the file lists them
    std::vector<std::string> warnings;  // what was read around, in a few lines
    std::vector<std::string> details;   // each thing read around, for --verbose
    // Objects that cannot be taken as they are (an entity that cannot be read, a solid that is open or invalid), each
    // described with its name, entity, product and layer; they are not among `objects`.
    std::vector<std::string> problems;
    std::string length_unit;  // as the file declares it ("millimetre", "inch"); the shapes are in millimetres
    // When no object is a solid: what the file holds instead and what to export ("holds only a tessellated (mesh)
    // model: export ..."), to follow "the file".
    std::string without_solid;
};

struct StepReadOptions {
    // How long the translation may take; zero: the default, which grows with the file's size (see
    // default_time_limit) and can be set with the environment variable QUILLON_STEP_TIME_LIMIT (seconds).
    std::chrono::milliseconds time_limit{0};
    // The encoding of names that are not UTF-8 (an iconv name); empty: guessed (see NameDecoding).
    std::string name_encoding;
};

// Reads an AP203/AP214/AP242 file with its names and presentation layers. An object's body name is its representation
// item's; its product name its product's, else its assembly occurrence's; names the kernel or a writer makes up count
// as none. Entities that cannot be read are fatal to the objects built from them only; the rest is read around. Nothing
// of the kernel's own console output reaches the terminal. Never throws, and never runs the kernel's translator in this
// process: it runs in a child process, so that a crash, a stack overflow or an endless loop on a damaged file ends as
// an error naming the file. Every object handed back is a valid shape of finite size that survives the part file's
// binary form; each that is not is among the problems, with its place in the model.
StepReadResult read_step_file(const std::string& path, const StepReadOptions& options = {});

// The translation itself, in this process: the child's work. Exposed for the fuzz target and the benchmark, which
// want the kernel's faults to show. With `leftovers`, the kernel's document and reader of the translation are handed
// over there rather than dropped: the child answers first and drops them after, or never when it is ended first.
StepReadResult translate_step_file(const std::string& path, const std::string& name_encoding = {},
                                   std::shared_ptr<void>* leftovers = nullptr);

// Sets up the translator's tables in this process, once, so that each child starts with them ready; reads no file
// and translates nothing. read_step_file calls it from its second file on, and then keeps its child for the next file.
void prepare_translator();

// How many translating children this process has started: one per file for a process that reads one, fewer than
// its files for one that reads many. For tests.
int translator_children_started();

// The time limit for a file of that size when none is given.
std::chrono::milliseconds default_time_limit(std::uintmax_t file_size);

}  // namespace cadhost::import
