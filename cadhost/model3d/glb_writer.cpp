#include "cadhost/model3d/glb_writer.h"

#include <BRepBndLib.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <Message_ProgressRange.hxx>
#include <Poly_Triangulation.hxx>
#include <Quantity_Color.hxx>
#include <RWGltf_CafWriter.hxx>
#include <RWMesh_CoordinateSystem.hxx>
#include <TColStd_IndexedDataMapOfStringString.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopExp_Explorer.hxx>
#include <TopLoc_Location.hxx>
#include <TopoDS.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cadhost/model3d/glb_chunks.h"

namespace cadhost::model3d {

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A mesh strays at most this share of the body's diagonal from its surfaces, and no less than a hundredth of a
// millimetre nor more than a millimetre: a 30 mm electrode is meshed to 0.03 mm, a metre-long core to a millimetre.
constexpr double kShareOfSize = 0.001;
constexpr double kFinest = 0.01, kCoarsest = 1.0;
// Curved faces are cut at least every this many radians, whatever their size.
constexpr double kAngle = 0.35;
// Each body's node is named by this and its number while the kernel writes the file; the real names, which need not
// be unique nor plain, are put in afterwards.
constexpr const char* kKey = "quillon-body-";

// The kernel's writer writes to a named file: a private one in the temporary folder, removed however the write ends.
class TemporaryFile {
  public:
    TemporaryFile() {
        std::string pattern = (fs::temp_directory_path() / "quillon-model-XXXXXX.glb").string();
        const int fd = ::mkstemps(pattern.data(), 4);
        if (fd >= 0) {
            ::close(fd);
            path_ = pattern;
        }
    }
    ~TemporaryFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

class XcafDocument {
  public:
    XcafDocument() { XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", doc_); }
    ~XcafDocument() {
        if (!doc_.IsNull()) XCAFApp_Application::GetApplication()->Close(doc_);
    }
    XcafDocument(const XcafDocument&) = delete;
    XcafDocument& operator=(const XcafDocument&) = delete;
    const Handle(TDocStd_Document) & get() const { return doc_; }

  private:
    Handle(TDocStd_Document) doc_;
};

std::size_t triangles_of(const TopoDS_Shape& shape) {
    std::size_t count = 0;
    for (TopExp_Explorer faces(shape, TopAbs_FACE); faces.More(); faces.Next()) {
        TopLoc_Location where;
        const Handle(Poly_Triangulation) mesh = BRep_Tool::Triangulation(TopoDS::Face(faces.Current()), where);
        if (!mesh.IsNull()) count += static_cast<std::size_t>(mesh->NbTriangles());
    }
    return count;
}

bool read_bytes(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    bytes = buffer.str();
    return static_cast<bool>(in) || in.eof();
}

// Puts the bodies' names and extras into the nodes the kernel wrote under their keys; false when a node is not ours.
bool name_nodes(json& gltf, const std::vector<ModelBody>& bodies, std::vector<bool>& found, std::string& error) {
    found.assign(bodies.size(), false);
    if (!gltf.contains("nodes")) return true;
    for (auto& node : gltf["nodes"]) {
        const std::string name = node.value("name", "");
        if (name.rfind(kKey, 0) != 0) continue;
        std::size_t index = 0;
        try {
            index = std::stoul(name.substr(std::string(kKey).size()));
        } catch (...) {
            index = bodies.size();
        }
        if (index >= bodies.size()) {
            error = "the model's writer named a node '" + name + "', which is no body of the part";
            return false;
        }
        const ModelBody& body = bodies[index];
        found[index] = true;
        node["name"] = body.name;
        node["extras"] = {{"layer", body.layer},
                          {"role", body.role},
                          {"index_on_layer", body.index_on_layer},
                          {"count_on_layer", body.count_on_layer}};
        if (body.rgb) {
            char colour[8];
            std::snprintf(colour, sizeof colour, "#%06X", static_cast<unsigned>(*body.rgb & 0xffffff));
            node["extras"]["color"] = colour;
        }
        if (node.contains("mesh") && node["mesh"].is_number_unsigned()) {
            const auto mesh = node["mesh"].get<std::size_t>();
            if (gltf.contains("meshes") && mesh < gltf["meshes"].size()) gltf["meshes"][mesh]["name"] = body.name;
        }
    }
    return true;
}

}  // namespace

double mesh_tolerance(const TopoDS_Shape& shape) {
    Bnd_Box box;
    BRepBndLib::Add(shape, box, false);
    if (box.IsVoid()) return kCoarsest;
    return std::clamp(std::sqrt(box.SquareExtent()) * kShareOfSize, kFinest, kCoarsest);
}

bool write_glb(const std::vector<ModelBody>& bodies, std::ostream& out, GlbResult& result, std::string& error,
               const MeshProgress& progress) {
    result = {};
    XcafDocument doc;
    if (doc.get().IsNull()) {
        error = "cannot make a document for the model's writer";
        return false;
    }
    const Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(doc.get()->Main());
    const Handle(XCAFDoc_ColorTool) colours = XCAFDoc_DocumentTool::ColorTool(doc.get()->Main());
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        const ModelBody& body = bodies[i];
        BRepMesh_IncrementalMesh mesher(body.shape, mesh_tolerance(body.shape), false, kAngle, true);
        const std::size_t triangles = triangles_of(body.shape);
        result.triangles += triangles;
        if (triangles == 0) {
            result.notes.push_back("the body '" + body.name + "' on layer " + std::to_string(body.layer) +
                                   " gave no triangles and is left out of the model");
        } else {
            const TDF_Label label = shapes->AddShape(body.shape, false);
            TDataStd_Name::Set(label, TCollection_ExtendedString((kKey + std::to_string(i)).c_str()));
            if (body.rgb) {
                const auto channel = [&](int shift) { return ((*body.rgb >> shift) & 0xff) / 255.0; };
                colours->SetColor(label, Quantity_Color(channel(16), channel(8), channel(0), Quantity_TOC_sRGB),
                                  XCAFDoc_ColorSurf);
            }
        }
        if (progress) progress(i + 1, bodies.size());
    }
    TemporaryFile file;
    if (file.path().empty()) {
        error = "cannot make a temporary file for the model";
        return false;
    }
    RWGltf_CafWriter writer(file.path().c_str(), true);
    // Millimetres and Z up in, the same out: the kernel's writer would otherwise scale to metres and turn Y up.
    writer.ChangeCoordinateSystemConverter().SetInputLengthUnit(0.001);
    writer.ChangeCoordinateSystemConverter().SetOutputLengthUnit(0.001);
    writer.ChangeCoordinateSystemConverter().SetInputCoordinateSystem(RWMesh_CoordinateSystem_Zup);
    writer.ChangeCoordinateSystemConverter().SetOutputCoordinateSystem(RWMesh_CoordinateSystem_Zup);
    writer.SetNodeNameFormat(RWMesh_NameFormat_Product);
    writer.SetMeshNameFormat(RWMesh_NameFormat_Product);
    writer.SetMergeFaces(true);
    TColStd_IndexedDataMapOfStringString info;
    info.Add("generator", "quillon");
    if (!writer.Perform(doc.get(), info, Message_ProgressRange())) {
        error = "the model's writer failed";
        return false;
    }
    std::string bytes;
    GlbChunks chunks;
    if (!read_bytes(file.path(), bytes) || !split_glb(bytes, chunks, error)) {
        error = "the model's writer wrote no readable file: " + error;
        return false;
    }
    json gltf = json::parse(chunks.json, nullptr, false);
    if (gltf.is_discarded() || !gltf.is_object()) {
        error = "the model's writer wrote JSON that does not read back";
        return false;
    }
    std::vector<bool> found;
    if (!name_nodes(gltf, bodies, found, error)) return false;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        if (found[i])
            ++result.nodes;
        else if (triangles_of(bodies[i].shape) > 0)
            result.notes.push_back("the model's writer left out the body '" + bodies[i].name + "' on layer " +
                                   std::to_string(bodies[i].layer));
    }
    gltf["asset"]["extras"] = {{"unit", "mm"}, {"up", "+Z"}};
    chunks.json = gltf.dump(-1, ' ', false, json::error_handler_t::replace);
    const std::string glb = join_glb(chunks);
    out.write(glb.data(), static_cast<std::streamsize>(glb.size()));
    if (!out) {
        error = "cannot write the model";
        return false;
    }
    return true;
}

}  // namespace cadhost::model3d
