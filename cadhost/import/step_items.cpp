#include "cadhost/import/step_items.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <set>

#include <Interface_Check.hxx>
#include <Interface_EntityIterator.hxx>
#include <Interface_Graph.hxx>
#include <Interface_ReportEntity.hxx>
#include <STEPControl_Reader.hxx>
#include <StepBasic_Product.hxx>
#include <StepBasic_ProductDefinition.hxx>
#include <StepBasic_ProductDefinitionFormation.hxx>
#include <StepData_StepModel.hxx>
#include <StepGeom_Axis2Placement3d.hxx>
#include <StepGeom_CartesianPoint.hxx>
#include <StepGeom_Direction.hxx>
#include <StepGeom_Curve.hxx>
#include <StepGeom_Placement.hxx>
#include <StepRepr_CharacterizedDefinition.hxx>
#include <StepRepr_HArray1OfRepresentationItem.hxx>
#include <StepRepr_PropertyDefinition.hxx>
#include <StepRepr_RepresentationItem.hxx>
#include <StepRepr_RepresentationRelationship.hxx>
#include <StepRepr_RepresentedDefinition.hxx>
#include <StepShape_FaceBasedSurfaceModel.hxx>
#include <StepShape_GeometricSet.hxx>
#include <StepShape_ShapeDefinitionRepresentation.hxx>
#include <StepShape_ShapeRepresentation.hxx>
#include <StepShape_ShellBasedSurfaceModel.hxx>
#include <StepShape_SolidModel.hxx>
#include <StepVisual_PresentationLayerAssignment.hxx>
#include <TCollection_HAsciiString.hxx>
#include <TColStd_SequenceOfAsciiString.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS_Iterator.hxx>
#include <TopoDS.hxx>
#include <Transfer_Binder.hxx>
#include <Transfer_TransientProcess.hxx>
#include <TransferBRep.hxx>
#include <XSControl_TransferReader.hxx>
#include <XSControl_WorkSession.hxx>

#include "cadhost/import/solid_check.h"

namespace cadhost::import {

namespace {

// Writers that must fill a name field and have none write "" or "NONE"; neither is a name worth keeping, and the
// kernel's own writer invents one of its own.
std::string usable_name(const Handle(TCollection_HAsciiString) & text) {
    if (text.IsNull()) return {};
    std::string name = text->ToCString();
    if (name == "NONE" || name.rfind("Open CASCADE STEP translator ", 0) == 0) return {};
    return name;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string kind_of(const Handle(Standard_Transient) & entity) {
    if (entity->IsKind(STANDARD_TYPE(StepShape_SolidModel))) return "solid";
    if (entity->IsKind(STANDARD_TYPE(StepShape_ShellBasedSurfaceModel)) ||
        entity->IsKind(STANDARD_TYPE(StepShape_FaceBasedSurfaceModel)))
        return "sheet";
    if (entity->IsKind(STANDARD_TYPE(StepGeom_Curve)) || entity->IsKind(STANDARD_TYPE(StepShape_GeometricSet)))
        return "curve";
    if (entity->IsKind(STANDARD_TYPE(StepGeom_CartesianPoint))) return "point";
    return "object";
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

}  // namespace

StepItems::StepItems(STEPControl_Reader& reader) {
    const Handle(XSControl_WorkSession)& session = reader.WS();
    model_ = Handle(StepData_StepModel)::DownCast(session->Model());
    if (model_.IsNull()) return;
    graph_ = &session->Graph();
    collect_items();
    mark_damaged();
    detach_damaged();
    read_units(reader);
}

void StepItems::after_transfer(STEPControl_Reader& reader) {
    if (model_.IsNull()) return;
    process_ = reader.WS()->TransferReader()->TransientProcess();
    if (process_.IsNull()) return;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (!items_[i].problem.empty()) continue;
        const TopoDS_Shape result = TransferBRep::ShapeResult(process_, items_[i].entity);
        if (result.IsNull()) continue;
        by_shape_.emplace(result.TShape().get(), i);
        if (items_[i].top) map_pieces(result, i);
    }
    find_solid_items_without_solid();
}

void StepItems::detach_damaged() {
    for (const Item& item : items_) {
        auto representation = Handle(StepRepr_Representation)::DownCast(item.representation);
        if (item.problem.empty() || representation.IsNull()) continue;
        const Handle(StepRepr_HArray1OfRepresentationItem) old_items = representation->Items();
        std::vector<Handle(StepRepr_RepresentationItem)> kept;
        for (int k = old_items->Lower(); k <= old_items->Upper(); ++k)
            if (old_items->Value(k) != item.entity) kept.push_back(old_items->Value(k));
        if (kept.empty()) {
            // A representation holds at least one item; a placement stands in, which the translator makes nothing of.
            Handle(StepGeom_CartesianPoint) origin = new StepGeom_CartesianPoint;
            origin->Init3D(new TCollection_HAsciiString(""), 0, 0, 0);
            Handle(StepGeom_Axis2Placement3d) placement = new StepGeom_Axis2Placement3d;
            placement->Init(new TCollection_HAsciiString(""), origin, false, nullptr, false, nullptr);
            kept.push_back(placement);
        }
        Handle(StepRepr_HArray1OfRepresentationItem) new_items =
            new StepRepr_HArray1OfRepresentationItem(1, static_cast<int>(kept.size()));
        for (std::size_t k = 0; k < kept.size(); ++k) new_items->SetValue(static_cast<int>(k) + 1, kept[k]);
        representation->SetItems(new_items);
    }
}

void StepItems::collect_items() {
    std::set<const Standard_Transient*> top;
    std::map<const Standard_Transient*, Handle(Standard_Transient)> owner;
    const int count = model_->NbEntities();
    for (int i = 1; i <= count; ++i) {
        auto representation = Handle(StepShape_ShapeRepresentation)::DownCast(model_->Value(i));
        if (representation.IsNull()) continue;
        for (int k = 1; k <= representation->NbItems(); ++k) {
            const Handle(StepRepr_RepresentationItem) item = representation->ItemsValue(k);
            if (item.IsNull() || item->IsKind(STANDARD_TYPE(StepGeom_Placement))) continue;
            top.insert(item.get());
            owner.emplace(item.get(), representation);
        }
    }
    for (int i = 1; i <= count; ++i) {
        const Handle(Standard_Transient) entity = model_->Value(i);
        auto item = Handle(StepRepr_RepresentationItem)::DownCast(entity);
        if (item.IsNull()) continue;
        const bool is_top = top.count(entity.get()) != 0;
        const std::string name = usable_name(item->Name());
        // Items inside others matter only for the names they give to pieces of the model.
        if (!is_top && name.empty()) continue;
        Item record;
        record.entity = entity;
        record.name = name;
        record.top = is_top;
        if (is_top) {
            record.representation = owner[entity.get()];
            record.product = product_of(record.representation);
            record.layer = layer_of(entity);
        }
        by_entity_.emplace(entity.get(), items_.size());
        items_.push_back(std::move(record));
    }
}

// An unreadable entity spoils every object built from it: the walk goes up through whatever refers to it until it
// reaches the items that representations hold.
void StepItems::mark_damaged() {
    const int count = model_->NbEntities();
    for (int i = 1; i <= count; ++i) {
        if (!model_->IsErrorEntity(i)) continue;
        const Handle(Standard_Transient) bad = model_->Value(i);
        std::string why;
        if (const Handle(Interface_ReportEntity) report = model_->ReportEntity(i); !report.IsNull()) {
            const Handle(Interface_Check) check = report->Check();
            if (!check.IsNull() && check->NbFails() > 0) why = check->CFail(1);
        }
        const std::string what = "entity #" + std::to_string(model_->IdentLabel(bad)) + " (" + model_->TypeName(bad) +
                                 ") cannot be read" + (why.empty() ? "" : ": " + why);
        bool owned = false;
        std::set<const Standard_Transient*> seen{bad.get()};
        std::deque<Handle(Standard_Transient)> queue{bad};
        while (!queue.empty()) {
            const Handle(Standard_Transient) entity = queue.front();
            queue.pop_front();
            if (auto found = by_entity_.find(entity.get()); found != by_entity_.end() && items_[found->second].top) {
                Item& item = items_[found->second];
                if (item.problem.empty()) item.problem = what;
                owned = true;
                continue;
            }
            for (Interface_EntityIterator up = graph_->Sharings(entity); up.More(); up.Next()) {
                if (seen.insert(up.Value().get()).second) queue.push_back(up.Value());
            }
        }
        if (!owned) problems_.push_back(what + "; it belongs to no object of the model");
    }
}

// The objects the model is split into from an item that came out as a group of them (a curve set's points, a solid
// item's several solids), as the model's walk splits it.
void StepItems::map_pieces(const TopoDS_Shape& shape, std::size_t item) {
    const TopAbs_ShapeEnum kind = shape.ShapeType();
    if (kind != TopAbs_COMPOUND && kind != TopAbs_COMPSOLID && kind != TopAbs_WIRE) {
        by_piece_.emplace(shape.TShape().get(), item);
        return;
    }
    for (TopoDS_Iterator it(shape); it.More(); it.Next()) map_pieces(it.Value(), item);
}

// The solids themselves are checked with every other object as the model is taken in.
void StepItems::find_solid_items_without_solid() {
    for (Item& item : items_) {
        if (!item.top || !item.problem.empty() || !item.entity->IsKind(STANDARD_TYPE(StepShape_SolidModel))) continue;
        const TopoDS_Shape result = TransferBRep::ShapeResult(process_, item.entity);
        if (result.IsNull()) {
            item.problem = "the translator could not make a shape of it";
            continue;
        }
        if (TopExp_Explorer(result, TopAbs_SOLID).More()) continue;
        const int open = open_edges(result);
        item.problem = open > 0
                           ? "it is open: " + std::to_string(open) + (open == 1 ? " edge bounds" : " edges bound") +
                                 " only one face (a face is missing or damaged), so it is no solid"
                           : "it comes out as a sheet, not a closed solid";
    }
    std::vector<std::string> item_problems;
    for (const Item& item : items_) {
        if (!item.problem.empty()) item_problems.push_back(describe_item(item) + ": " + item.problem);
    }
    problems_.insert(problems_.begin(), item_problems.begin(), item_problems.end());
}

void StepItems::read_units(STEPControl_Reader& reader) {
    TColStd_SequenceOfAsciiString lengths, angles, solid_angles;
    reader.FileUnits(lengths, angles, solid_angles);
    std::set<std::string> seen;
    for (const TCollection_AsciiString& unit : lengths) {
        const std::string word = lower(unit.ToCString());
        if (word.empty() || !seen.insert(word).second) continue;
        length_unit_ += (length_unit_.empty() ? "" : ", ") + word;
    }
}

std::string StepItems::product_of(const Handle(Standard_Transient) & representation) const {
    auto product_name = [this](const Handle(Standard_Transient) & rep) -> std::string {
        for (Interface_EntityIterator up = graph_->Sharings(rep); up.More(); up.Next()) {
            auto sdr = Handle(StepShape_ShapeDefinitionRepresentation)::DownCast(up.Value());
            if (sdr.IsNull()) continue;
            const Handle(StepRepr_PropertyDefinition) property = sdr->Definition().PropertyDefinition();
            if (property.IsNull()) continue;
            const Handle(StepBasic_ProductDefinition) definition = property->Definition().ProductDefinition();
            if (definition.IsNull() || definition->Formation().IsNull()) continue;
            const Handle(StepBasic_Product) product = definition->Formation()->OfProduct();
            if (product.IsNull()) continue;
            std::string name = usable_name(product->Name());
            return name.empty() ? usable_name(product->Id()) : name;
        }
        return {};
    };
    if (representation.IsNull()) return {};
    if (std::string name = product_name(representation); !name.empty()) return name;
    // Many writers keep the geometry in a representation of its own, tied to the product's by a relationship.
    for (Interface_EntityIterator up = graph_->Sharings(representation); up.More(); up.Next()) {
        auto relation = Handle(StepRepr_RepresentationRelationship)::DownCast(up.Value());
        if (relation.IsNull()) continue;
        const Handle(Standard_Transient) other =
            relation->Rep1() == representation ? Handle(Standard_Transient)(relation->Rep2()) : relation->Rep1();
        if (std::string name = product_name(other); !name.empty()) return name;
    }
    return {};
}

std::string StepItems::layer_of(const Handle(Standard_Transient) & item) const {
    for (Interface_EntityIterator up = graph_->Sharings(item); up.More(); up.Next()) {
        auto layer = Handle(StepVisual_PresentationLayerAssignment)::DownCast(up.Value());
        if (!layer.IsNull() && !layer->Name().IsNull()) return layer->Name()->ToCString();
    }
    return {};
}

const StepItems::Item* StepItems::item_of(const TopoDS_Shape& shape) const {
    if (shape.IsNull()) return nullptr;
    auto found = by_shape_.find(shape.TShape().get());
    return found == by_shape_.end() ? nullptr : &items_[found->second];
}

std::string StepItems::name_of(const TopoDS_Shape& shape) const {
    const Item* item = item_of(shape);
    return item ? item->name : std::string();
}

const std::string* StepItems::problem_of(const TopoDS_Shape& shape) const {
    const Item* item = item_of(shape);
    return item && !item->problem.empty() ? &item->problem : nullptr;
}

// The name shown is the one the object takes: the item's own, else its product's.
std::string StepItems::describe_item(const Item& item) const {
    const std::string& name = item.name.empty() ? item.product : item.name;
    std::string text = name.empty() ? "unnamed " + kind_of(item.entity) : kind_of(item.entity) + " " + quoted(name);
    text += " (entity #" + std::to_string(model_->IdentLabel(item.entity)) + " " + model_->TypeName(item.entity);
    if (!item.product.empty()) text += ", product " + quoted(item.product);
    text += item.layer.empty() ? ", no layer" : ", layer " + quoted(item.layer);
    return text + ")";
}

std::string StepItems::describe(const TopoDS_Shape& shape, const std::string& kind, const std::string& name,
                                const std::string& layer) const {
    if (const Item* item = item_of(shape); item && item->top) return describe_item(*item);
    std::string text = name.empty() ? "unnamed " + kind : kind + " " + quoted(name);
    auto piece = shape.IsNull() ? by_piece_.end() : by_piece_.find(shape.TShape().get());
    if (piece == by_piece_.end()) return text + (layer.empty() ? " (no layer)" : " (layer " + quoted(layer) + ")");
    // A piece of an item: the item's entity and product place it in the file, the caller's name and layer are its own.
    const Item& item = items_[piece->second];
    text += " (in entity #" + std::to_string(model_->IdentLabel(item.entity)) + " " + model_->TypeName(item.entity);
    if (!item.product.empty()) text += ", product " + quoted(item.product);
    const std::string& own_layer = layer.empty() ? item.layer : layer;
    return text + (own_layer.empty() ? ", no layer)" : ", layer " + quoted(own_layer) + ")");
}

}  // namespace cadhost::import
