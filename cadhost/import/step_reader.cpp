#include "cadhost/import/step_reader.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <IFSelect_ReturnStatus.hxx>
#include <Interface_Static.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_Printer.hxx>
#include <STEPCAFControl_Controller.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <StepData_StepModel.hxx>
#include <Standard_Failure.hxx>
#include <TCollection_AsciiString.hxx>
#include <TCollection_ExtendedString.hxx>
#include <TColStd_HSequenceOfExtendedString.hxx>
#include <TDF_Label.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopAbs.hxx>
#include <TopLoc_Location.hxx>
#include <TopoDS.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS_Iterator.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_LayerTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <XSControl_WorkSession.hxx>

#include "cadhost/import/name_encoding.h"
#include "cadhost/import/object_names.h"
#include "cadhost/import/shape_check.h"
#include "cadhost/import/step_colours.h"
#include "cadhost/import/step_items.h"
#include "cadhost/import/step_names.h"

namespace cadhost::import {
namespace {

// What a label hands down to the pieces it is split into.
struct Labelling {
    std::string name;  // of the product or the occurrence
    std::string layer;
    std::string body;  // of the representation item, for the pieces of a shape
    std::optional<std::uint32_t> colour;
    bool occurrence_colour = false;  // the colour is an occurrence's own, which wins over its product's
};

std::string to_utf8(const TCollection_ExtendedString& text) {
    // A zero replacement character asks the kernel for UTF-8 rather than dropping non-ASCII characters.
    return TCollection_AsciiString(text, '\0').ToCString();
}

// The names the translator gives labels: told to convert nothing, it copies each byte of a name (which is UTF-8 by
// then, see decode_model_names) into a character of its own.
std::string label_name_text(const TCollection_ExtendedString& text) {
    std::string bytes;
    for (int i = 1; i <= text.Length(); ++i) {
        const Standard_ExtCharacter c = text.Value(i);
        if (c > 0xFF) return to_utf8(text);
        bytes += static_cast<char>(c);
    }
    return bytes;
}

// The kernel prints its translation messages and statistics on the terminal; what the user needs of them comes back
// as our own messages, so its printers are off while a file is read.
class QuietKernel {
  public:
    QuietKernel() : printers_(Message::DefaultMessenger()->Printers()) {
        Message::DefaultMessenger()->ChangePrinters().Clear();
    }
    ~QuietKernel() { Message::DefaultMessenger()->ChangePrinters() = printers_; }
    QuietKernel(const QuietKernel&) = delete;
    QuietKernel& operator=(const QuietKernel&) = delete;

  private:
    Message_SequenceOfPrinters printers_;
};

// An object that is not a solid, left out of the model with why.
struct LeftOut {
    std::string what;  // "sheet", "curve", "COMPOSITE_TEXT_WITH_EXTENT entity"
    std::string why;   // "the shape check refuses"
    std::string description;
};

class ModelWalker {
  public:
    ModelWalker(Handle(XCAFDoc_ShapeTool) shapes, Handle(XCAFDoc_LayerTool) layers, const StepItems& items,
                const StepColours& colours, StepReadResult& result)
        : shapes_(std::move(shapes)), layers_(std::move(layers)), items_(items), colours_(colours), result_(result) {}

    void walk_free_shapes() {
        TDF_LabelSequence free_labels;
        shapes_->GetFreeShapes(free_labels);
        for (const TDF_Label& label : free_labels) walk(label, TopLoc_Location(), Labelling{});
    }

  private:
    std::string name_of(const TDF_Label& label) const {
        Handle(TDataStd_Name) name;
        if (!label.FindAttribute(TDataStd_Name::GetID(), name)) return {};
        std::string text = label_name_text(name->Get());
        return is_placeholder_name(text) ? std::string() : text;
    }

    std::string layer_of(const TDF_Label& label) {
        Handle(TColStd_HSequenceOfExtendedString) names;
        if (!layers_->GetLayers(label, names) || names.IsNull() || names->IsEmpty()) return {};
        std::string first = to_utf8(names->First());
        if (names->Length() > 1) {
            result_.warnings.push_back("an object named \"" + name_of(label) + "\" lies on " +
                                       std::to_string(names->Length()) + " layers; layer \"" + first + "\" is used");
        }
        return first;
    }

    // The label's own name and layer win over those handed down from an assembly or instance above it.
    Labelling labelling_of(const TDF_Label& label, const Labelling& inherited) {
        Labelling own{name_of(label), layer_of(label), inherited.body};
        if (own.name.empty()) own.name = inherited.name;
        if (own.layer.empty()) own.layer = inherited.layer;
        own_colour(label, inherited, own);
        return own;
    }

    // A label's own colour wins over one handed down, except over the colour of an occurrence styled on its own.
    void own_colour(const TDF_Label& label, const Labelling& inherited, Labelling& own) const {
        own.colour = inherited.occurrence_colour ? std::nullopt : colours_.of_label(label);
        own.occurrence_colour = inherited.occurrence_colour;
        if (!own.colour) own.colour = inherited.colour;
    }

    void walk(const TDF_Label& label, const TopLoc_Location& placement, const Labelling& inherited) {
        const Labelling here = labelling_of(label, inherited);
        if (XCAFDoc_ShapeTool::IsAssembly(label)) {
            TDF_LabelSequence components;
            XCAFDoc_ShapeTool::GetComponents(label, components);
            for (const TDF_Label& component : components) walk_instance(component, placement, here);
            return;
        }
        if (XCAFDoc_ShapeTool::IsReference(label)) {
            walk_instance(label, placement, inherited);
            return;
        }
        const TopoDS_Shape shape = XCAFDoc_ShapeTool::GetShape(label);
        if (shape.IsNull()) return;
        TDF_LabelSequence sub_labels;
        XCAFDoc_ShapeTool::GetSubShapes(label, sub_labels);
        split(shape, placement, here, sub_labels);
    }

    void walk_instance(const TDF_Label& instance, const TopLoc_Location& placement, const Labelling& inherited) {
        TDF_Label referred;
        if (!XCAFDoc_ShapeTool::GetReferredShape(instance, referred)) return;
        Labelling here = labelling_of(instance, inherited);
        if (colours_.of_label(instance)) here.occurrence_colour = true;
        walk(referred, placement * XCAFDoc_ShapeTool::GetLocation(instance), here);
    }

    // A sub-shape that the file names or layers on its own keeps that; everything else inherits.
    Labelling labelling_of_piece(const TopoDS_Shape& piece, const Labelling& inherited,
                                 const TDF_LabelSequence& sub_labels) {
        for (const TDF_Label& sub : sub_labels) {
            if (XCAFDoc_ShapeTool::GetShape(sub).IsSame(piece)) return labelling_of(sub, inherited);
        }
        return inherited;
    }

    // A representation item's own name is the body's name; a sub-shape the file names on its own is named so too.
    void split(const TopoDS_Shape& shape, const TopLoc_Location& placement, const Labelling& inherited,
               const TDF_LabelSequence& sub_labels) {
        Labelling here = labelling_of_piece(shape, inherited, sub_labels);
        if (here.name != inherited.name && here.body.empty()) here.body = here.name, here.name = inherited.name;
        if (std::string item_name = items_.name_of(shape); !item_name.empty()) here.body = std::move(item_name);
        switch (shape.ShapeType()) {
            case TopAbs_SOLID:
            case TopAbs_SHELL:
            case TopAbs_FACE:
                if (!here.colour) here.colour = colours_.of_faces(shape, sub_labels);
                take(shape, placement, here);
                return;
            case TopAbs_EDGE:
            case TopAbs_VERTEX:
                take(shape, placement, here);
                return;
            case TopAbs_COMPOUND:
            case TopAbs_COMPSOLID:
            case TopAbs_WIRE:
                for (TopoDS_Iterator it(shape); it.More(); it.Next()) split(it.Value(), placement, here, sub_labels);
                return;
            case TopAbs_SHAPE:
                break;
        }
        result_.warnings.push_back("a shape of unknown kind named \"" +
                                   chosen_name(here.body, here.name, NameSource::automatic) + "\" was skipped");
    }

    // Objects of damaged items are left out (the items' problems are listed once, by StepItems); every other object
    // is checked here, once, and left out with its place in the model when it fails.
    void take(const TopoDS_Shape& shape, const TopLoc_Location& placement, const Labelling& here) {
        if (items_.problem_of(shape)) return;
        StepObject object;
        object.shape = shape.Moved(placement);
        object.body_name = here.body;
        object.product_name = here.name;
        object.name = chosen_name(here.body, here.name, NameSource::automatic);
        object.layer_name = here.layer;
        object.colour = here.colour;
        if (shape.ShapeType() == TopAbs_SHELL || shape.ShapeType() == TopAbs_FACE) sheet_faces_ += count_faces(shape);
        if (std::string problem = checker_.problem(object.shape, object.stored); !problem.empty()) {
            std::string description = items_.describe(shape, kind_of(shape), object.name, here.layer) + ": " + problem;
            // A sheet is of no use to the command when it cannot be taken, and the solids are read without it; curves
            // and points mark the electrodes' and the core's points, and stay as much a problem as solids.
            if (shape.ShapeType() != TopAbs_SHELL && shape.ShapeType() != TopAbs_FACE)
                result_.problems.push_back(std::move(description));
            else
                left_out_.push_back({kind_of(shape), "the shape check refuses", std::move(description)});
            return;
        }
        result_.objects.push_back(std::move(object));
    }

    static const char* kind_of(const TopoDS_Shape& shape) {
        switch (shape.ShapeType()) {
            case TopAbs_SOLID:
                return "solid";
            case TopAbs_SHELL:
            case TopAbs_FACE:
                return "sheet";
            case TopAbs_EDGE:
                return "curve";
            case TopAbs_VERTEX:
                return "point";
            default:
                return "object";
        }
    }

  public:
    // Sheets the shape check refuses.
    const std::vector<LeftOut>& left_out() const { return left_out_; }
    // Faces of the sheets met, taken or not.
    int sheet_faces() const { return sheet_faces_; }

  private:
    static int count_faces(const TopoDS_Shape& shape) {
        int faces = 0;
        for (TopExp_Explorer face(shape, TopAbs_FACE); face.More(); face.Next()) ++faces;
        return faces;
    }

    Handle(XCAFDoc_ShapeTool) shapes_;
    Handle(XCAFDoc_LayerTool) layers_;
    const StepItems& items_;
    const StepColours& colours_;
    StepReadResult& result_;
    ShapeChecker checker_;
    std::vector<LeftOut> left_out_;
    int sheet_faces_ = 0;
};

std::string check_readable(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return path + ": no such file";
    if (std::filesystem::is_directory(path, ec)) return path + ": is a directory, not a STEP file";
    std::ifstream in(path, std::ios::binary);
    if (!in) return path + ": cannot be opened for reading";
    // The kernel's parser accepts some non-STEP text silently, so the exchange-structure header is checked first.
    // Some writers put a comment or blank lines before it, which the parser passes over as well.
    std::string start(4096, '\0');
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(in.gcount()));
    std::size_t begin = 0;
    while (true) {
        begin = start.find_first_not_of(" \t\r\n", begin);
        if (begin == std::string::npos || start.compare(begin, 2, "/*") != 0) break;
        const auto end = start.find("*/", begin + 2);
        begin = end == std::string::npos ? std::string::npos : end + 2;
    }
    if (begin == std::string::npos || start.compare(begin, 13, "ISO-10303-21;") != 0) {
        return path + ": not a STEP file (it does not begin with ISO-10303-21;)";
    }
    return {};
}

// One note per kind of object left out and reason, with its count; each one in the details.
void tell_left_out(const std::vector<LeftOut>& left_out, StepReadResult& result) {
    std::vector<std::pair<const LeftOut*, int>> counts;
    for (const LeftOut& one : left_out) {
        auto kind = std::find_if(counts.begin(), counts.end(), [&](const auto& count) {
            return count.first->what == one.what && count.first->why == one.why;
        });
        if (kind == counts.end())
            counts.emplace_back(&one, 1);
        else
            ++kind->second;
        result.details.push_back("left out: " + one.description);
    }
    for (const auto& [kind, n] : counts) {
        const std::string& what = kind->what;
        const std::string plural = what.ends_with("entity") ? what.substr(0, what.size() - 1) + "ies" : what + "s";
        result.warnings.push_back("left out: " + std::to_string(n) + " " + (n == 1 ? what : plural) + " " + kind->why +
                                  "; the solids are read without " + (n == 1 ? "it" : "them") +
                                  " (--verbose lists each)");
    }
}

// What a model without a solid holds instead, and what the user should export.
std::string without_solid(const StepItems::Contents& contents, const std::vector<StepObject>& objects,
                          int sheet_faces) {
    const auto count = [](int n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    if (contents.solids > 0)
        return "holds " + count(contents.solids, "solid", "solids") +
               (contents.solids == 1 ? ", which cannot be read" : ", none of which can be read");
    if (contents.tessellated > 0)
        return "holds only a tessellated (mesh) model: export B-rep solids (AP214 or AP242 with exact geometry)";
    if (contents.faces > 0 || sheet_faces > 0)
        return "holds " + count(std::max(contents.faces, sheet_faces), "surface", "surfaces") +
               " but no closed solid: export closed solids (knit or sew the surfaces into a solid first)";
    if (!objects.empty())
        return "holds only " + count(static_cast<int>(objects.size()), "curve or point", "curves and points") +
               ", no solid: export the mould's solid bodies";
    return "holds no geometry that can be read: export the mould's solid bodies (AP214 or AP242)";
}

// The kernel's document and reader of one translation, closed and dropped when the last holder lets go: dropping a
// large model's takes seconds, which a caller that has what it needs can put off (see translate_step_file).
class Translation {
  public:
    Translation() { XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", doc); }
    ~Translation() {
        try {
            XCAFApp_Application::GetApplication()->Close(doc);
        } catch (const Standard_Failure&) {
            // Nothing of the translation is needed any more; the document is only left unclosed.
        }
    }
    Translation(const Translation&) = delete;
    Translation& operator=(const Translation&) = delete;

    Handle(TDocStd_Document) doc;
    STEPCAFControl_Reader reader;
};

void read_into(const std::string& path, const std::string& name_encoding, Translation& translation,
               StepReadResult& result) {
    const QuietKernel quiet;
    Handle(TDocStd_Document)& doc = translation.doc;
    STEPCAFControl_Reader& reader = translation.reader;
    reader.SetNameMode(true);
    reader.SetLayerMode(true);
    reader.SetColorMode(true);
    reader.SetPropsMode(false);
    reader.SetGDTMode(false);
    reader.SetMatMode(false);
    reader.SetViewMode(false);
    // Each byte one character: names come out as the file's bytes, to be decoded in their own encoding.
    Interface_Static::SetCVal("read.step.codepage", kTranslatorCodePage);

    if (reader.ReadFile(path.c_str()) != IFSelect_RetDone) {
        result.error = path + ": the STEP data cannot be parsed";
        return;
    }
    if (auto model = Handle(StepData_StepModel)::DownCast(reader.ChangeReader().WS()->Model()); !model.IsNull()) {
        NameDecoding decoding(name_encoding);
        decode_model_names(*model, decoding);
        result.warnings = decoding.notes();
        result.details = decoding.details();
    }
    StepItems items(reader.ChangeReader());
    result.warnings.insert(result.warnings.end(), items.notes().begin(), items.notes().end());
    result.details.insert(result.details.end(), items.details().begin(), items.details().end());
    // A model the translator makes nothing of (a mesh, a file of styles) is read as one without objects.
    int sheet_faces = 0;
    if (reader.Transfer(doc)) {
        items.after_transfer(reader.ChangeReader());
        result.length_unit = items.length_unit();
        const StepColours colours(XCAFDoc_DocumentTool::ColorTool(doc->Main()));
        ModelWalker walker(XCAFDoc_DocumentTool::ShapeTool(doc->Main()), XCAFDoc_DocumentTool::LayerTool(doc->Main()),
                           items, colours, result);
        walker.walk_free_shapes();
        std::vector<LeftOut> left_out;
        for (const auto& [what, description] : items.left_out())
            left_out.push_back({what, "that cannot be read", description});
        left_out.insert(left_out.end(), walker.left_out().begin(), walker.left_out().end());
        tell_left_out(left_out, result);
        sheet_faces = walker.sheet_faces();
    }
    result.problems.insert(result.problems.begin(), items.problems().begin(), items.problems().end());
    bool any_solid = false;
    for (const auto& object : result.objects) any_solid = any_solid || object.shape.ShapeType() == TopAbs_SOLID;
    if (!any_solid) result.without_solid = without_solid(items.contents(), result.objects, sheet_faces);
    result.ok = true;
}

}  // namespace

void prepare_translator() {
    static const bool prepared = [] {
        try {
            const QuietKernel quiet;
            STEPCAFControl_Controller::Init();
            XCAFApp_Application::GetApplication();
            // A reader made and dropped: its work session loads the protocol's tables, which outlive it.
            STEPCAFControl_Reader reader;
        } catch (const Standard_Failure&) {
            // Each child prepares what is missing for itself then; it reports what fails there.
        }
        return true;
    }();
    (void)prepared;
}

StepReadResult translate_step_file(const std::string& path, const std::string& name_encoding,
                                   std::shared_ptr<void>* leftovers) {
    StepReadResult result;
    try {
        result.error = check_readable(path);
        if (!result.error.empty()) return result;
        auto translation = std::make_shared<Translation>();
        read_into(path, name_encoding, *translation, result);
        if (leftovers) *leftovers = std::move(translation);
    } catch (const Standard_Failure& failure) {
        result = StepReadResult{};
        result.error = path + ": the STEP reader failed: " + failure.GetMessageString();
    } catch (const std::exception& failure) {
        result = StepReadResult{};
        result.error = path + ": the STEP reader failed: " + failure.what();
    }
    return result;
}

}  // namespace cadhost::import
