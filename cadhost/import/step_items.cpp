#include "cadhost/import/step_items.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <set>
#include <utility>

#include <Interface_Check.hxx>
#include <Interface_EntityIterator.hxx>
#include <Interface_Graph.hxx>
#include <Interface_ReportEntity.hxx>
#include <STEPControl_Reader.hxx>
#include <StepBasic_Product.hxx>
#include <StepBasic_ProductDefinition.hxx>
#include <StepBasic_ProductDefinitionFormation.hxx>
#include <StepBasic_ProductDefinitionRelationship.hxx>
#include <StepData_StepModel.hxx>
#include <StepBasic_ConversionBasedUnitAndLengthUnit.hxx>
#include <StepBasic_NamedUnit.hxx>
#include <StepBasic_SiUnitAndLengthUnit.hxx>
#include <StepGeom_GeomRepContextAndGlobUnitAssCtxAndGlobUncertaintyAssCtx.hxx>
#include <StepGeom_GeometricRepresentationContextAndGlobalUnitAssignedContext.hxx>
#include <StepRepr_GlobalUnitAssignedContext.hxx>
#include <StepRepr_ProductDefinitionShape.hxx>
#include <StepRepr_ShapeRepresentationRelationship.hxx>
#include <StepData_UndefinedEntity.hxx>
#include <StepGeom_Axis2Placement3d.hxx>
#include <StepGeom_CartesianTransformationOperator.hxx>
#include <StepGeom_GeometricRepresentationItem.hxx>
#include <StepGeom_CartesianPoint.hxx>
#include <StepGeom_Direction.hxx>
#include <StepGeom_Curve.hxx>
#include <StepGeom_Placement.hxx>
#include <StepRepr_CharacterizedDefinition.hxx>
#include <StepRepr_ItemDefinedTransformation.hxx>
#include <StepRepr_RepresentationContext.hxx>
#include <StepRepr_RepresentationRelationshipWithTransformation.hxx>
#include <StepShape_ContextDependentShapeRepresentation.hxx>
#include <StepRepr_HArray1OfRepresentationItem.hxx>
#include <StepRepr_PropertyDefinition.hxx>
#include <StepRepr_RepresentationItem.hxx>
#include <StepRepr_RepresentationRelationship.hxx>
#include <StepRepr_RepresentedDefinition.hxx>
#include <StepShape_FaceBasedSurfaceModel.hxx>
#include <StepShape_FaceSurface.hxx>
#include <StepShape_GeometricSet.hxx>
#include <StepShape_ShapeDefinitionRepresentation.hxx>
#include <StepShape_ShapeRepresentation.hxx>
#include <StepShape_ShellBasedSurfaceModel.hxx>
#include <StepShape_SolidModel.hxx>
#include <StepVisual_PresentationLayerAssignment.hxx>
#include <StepVisual_TessellatedItem.hxx>
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

// The parameter a fail of the reader is about: "Parameter n0.1 (name) not a quoted String" gives "name"; a parameter
// of a supertype comes as "representation_item.name".
std::string failed_parameter(const std::string& fail) {
    const auto open = fail.find(" (");
    const auto close = open == std::string::npos ? open : fail.find(')', open);
    if (fail.rfind("Parameter n0.", 0) != 0 || close == std::string::npos) return {};
    std::string parameter = fail.substr(open + 2, close - open - 2);
    if (const auto dot = parameter.rfind('.'); dot != std::string::npos) parameter.erase(0, dot + 1);
    return parameter;
}

// Fails only of texts that name or describe: the entity is read without them, its geometry whole.
bool only_text_failed(const std::vector<std::string>& fails) {
    return !fails.empty() && std::all_of(fails.begin(), fails.end(), [](const std::string& fail) {
        const std::string parameter = failed_parameter(fail);
        return parameter == "name" || parameter == "id" || parameter == "description";
    });
}

// Fails only of a unit's dimensions, which its kind determines: writers leave them out as `*`.
bool only_derived_failed(const std::vector<std::string>& fails) {
    return !fails.empty() && std::all_of(fails.begin(), fails.end(), [](const std::string& fail) {
        return failed_parameter(fail) == "dimensions";
    });
}

// Meshes: the translator knows some tessellated entities and none of the tessellated solids and faces, which it keeps
// as entities of unknown type.
bool is_tessellated(const StepData_StepModel& model, const Handle(Standard_Transient) & entity) {
    if (entity->IsKind(STANDARD_TYPE(StepVisual_TessellatedItem))) return true;
    if (!entity->IsKind(STANDARD_TYPE(StepData_UndefinedEntity))) return false;
    const std::string type = model.TypeName(entity);
    return type.rfind("TESSELLATED_", 0) == 0 || type.rfind("TRIANGULATED_", 0) == 0 ||
           type.rfind("COMPLEX_TRIANGULATED_", 0) == 0;
}

// Entities that place a product in an assembly, or whose transformation does.
bool is_placing(const Handle(Standard_Transient) & entity) {
    return entity->IsKind(STANDARD_TYPE(StepRepr_ItemDefinedTransformation)) ||
           entity->IsKind(STANDARD_TYPE(StepGeom_CartesianTransformationOperator)) ||
           entity->IsKind(STANDARD_TYPE(StepRepr_RepresentationRelationshipWithTransformation)) ||
           entity->IsKind(STANDARD_TYPE(StepShape_ContextDependentShapeRepresentation));
}

// Placements and the relationships that tie a product's geometry to it: the translator reads them whatever their
// names, which nothing takes from them.
bool places_or_relates(const Handle(Standard_Transient) & entity) {
    return is_placing(entity) || entity->IsKind(STANDARD_TYPE(StepRepr_RepresentationRelationship));
}

// A length unit in words, as the kernel names them ("millimetre", "inch"); empty for any other unit.
std::string length_unit_word(const Handle(StepBasic_NamedUnit) & unit) {
    if (auto si = Handle(StepBasic_SiUnitAndLengthUnit)::DownCast(unit); !si.IsNull()) {
        static const std::map<StepBasic_SiPrefix, const char*> prefixes = {
            {StepBasic_spExa, "exa"},     {StepBasic_spPeta, "peta"},   {StepBasic_spTera, "tera"},
            {StepBasic_spGiga, "giga"},   {StepBasic_spMega, "mega"},   {StepBasic_spKilo, "kilo"},
            {StepBasic_spHecto, "hecto"}, {StepBasic_spDeca, "deca"},   {StepBasic_spDeci, "deci"},
            {StepBasic_spCenti, "centi"}, {StepBasic_spMilli, "milli"}, {StepBasic_spMicro, "micro"},
            {StepBasic_spNano, "nano"},   {StepBasic_spPico, "pico"},   {StepBasic_spFemto, "femto"},
            {StepBasic_spAtto, "atto"}};
        const auto prefix = si->HasPrefix() ? prefixes.find(si->Prefix()) : prefixes.end();
        return std::string(prefix == prefixes.end() ? "" : prefix->second) + "metre";
    }
    if (auto converted = Handle(StepBasic_ConversionBasedUnitAndLengthUnit)::DownCast(unit);
        !converted.IsNull() && !converted->Name().IsNull()) {
        std::string word = converted->Name()->ToCString();
        std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return std::tolower(c); });
        return word;
    }
    return {};
}

Handle(StepBasic_HArray1OfNamedUnit) units_of(const Handle(StepRepr_RepresentationContext) & context) {
    Handle(StepRepr_GlobalUnitAssignedContext) units = Handle(StepRepr_GlobalUnitAssignedContext)::DownCast(context);
    if (auto both = Handle(StepGeom_GeometricRepresentationContextAndGlobalUnitAssignedContext)::DownCast(context);
        !both.IsNull())
        units = both->GlobalUnitAssignedContext();
    if (auto all = Handle(StepGeom_GeomRepContextAndGlobUnitAssCtxAndGlobUncertaintyAssCtx)::DownCast(context);
        !all.IsNull())
        units = all->GlobalUnitAssignedContext();
    return units.IsNull() ? Handle(StepBasic_HArray1OfNamedUnit)() : units->Units();
}

// Entities counted by type, for one note: "8 PRESENTATION_STYLE_ASSIGNMENT, 4 DIMENSIONAL_SIZE".
class EntityTally {
  public:
    void add(const std::string& type) {
        if (counts_[type]++ == 0) order_.push_back(type);
    }
    int total() const {
        int sum = 0;
        for (const auto& [type, n] : counts_) sum += n;
        return sum;
    }
    std::string text(const char* one, const char* many) const {
        const int n = total();
        return std::to_string(n) + " " + (n == 1 ? one : many);
    }
    // The most frequent first; the first met first among equals.
    std::string kinds() const {
        std::vector<std::string> types = order_;
        std::stable_sort(types.begin(), types.end(),
                         [this](const auto& a, const auto& b) { return counts_.at(a) > counts_.at(b); });
        std::string out;
        for (const auto& type : types) out += (out.empty() ? "" : ", ") + std::to_string(counts_.at(type)) + " " + type;
        return out;
    }

  private:
    std::map<std::string, int> counts_;
    std::vector<std::string> order_;
};

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
        if (is_tessellated(*model_, entity)) ++contents_.tessellated;
        auto item = Handle(StepRepr_RepresentationItem)::DownCast(entity);
        if (item.IsNull()) continue;
        if (entity->IsKind(STANDARD_TYPE(StepShape_FaceSurface))) ++contents_.faces;
        const bool is_top = top.count(entity.get()) != 0;
        if (is_top && entity->IsKind(STANDARD_TYPE(StepShape_SolidModel))) ++contents_.solids;
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
// reaches the items that representations hold. Only that breaks an object's geometry; what lies outside every object
// (styles, PMI, properties, units) and a name that cannot be read are read around and told in one note per kind.
void StepItems::mark_damaged() {
    const int count = model_->NbEntities();
    EntityTally outside, unnamed, unnamed_placements;
    for (int i = 1; i <= count; ++i) {
        if (!model_->IsErrorEntity(i)) continue;
        const Handle(Standard_Transient) bad = model_->Value(i);
        std::vector<std::string> fails;
        if (const Handle(Interface_ReportEntity) report = model_->ReportEntity(i); !report.IsNull()) {
            const Handle(Interface_Check) check = report->Check();
            for (int k = 1; !check.IsNull() && k <= check->NbFails(); ++k) fails.push_back(check->CFail(k));
        }
        const std::string type = model_->TypeName(bad);
        // A complex entity's type comes in parentheses already.
        // The fail told is the first that is not about a text, which is what keeps the entity from being read.
        const auto telling = std::find_if(fails.begin(), fails.end(), [](const std::string& fail) {
            const std::string parameter = failed_parameter(fail);
            return parameter != "name" && parameter != "id" && parameter != "description";
        });
        const std::string what = "entity #" + std::to_string(model_->IdentLabel(bad)) + " " +
                                 (type.rfind('(', 0) == 0 ? type : "(" + type + ")") + " cannot be read" +
                                 (fails.empty() ? "" : ": " + (telling == fails.end() ? fails.front() : *telling));
        // The translator takes a layer's name for granted; a layer without one is read around, so that its objects
        // keep no layer from it.
        if (auto layer = Handle(StepVisual_PresentationLayerAssignment)::DownCast(bad); !layer.IsNull()) {
            layer->SetAssignedItems(nullptr);
            outside.add(type);
            details_.push_back(what + "; the objects it lists are read without this layer");
            continue;
        }
        // The translator takes the entity with the text left empty: the object keeps its geometry, not that name.
        // (Only items: the "name" of some other entities, a unit's, is no label but what they are.)
        if (only_text_failed(fails) && bad->IsKind(STANDARD_TYPE(StepRepr_RepresentationItem))) {
            unnamed.add(type);
            details_.push_back(what + "; it gives no name, its object is read without it");
            continue;
        }
        // So are placements and relationships: their names name nothing the user sees, and their parts are placed.
        if (only_text_failed(fails) && places_or_relates(bad)) {
            unnamed_placements.add(type);
            details_.push_back(what + "; it is read without its name and places its parts as written");
            continue;
        }
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
            // Above a context lie all the representations that use its units: none is spoilt by them.
            if (entity != bad && entity->IsKind(STANDARD_TYPE(StepRepr_RepresentationContext))) continue;
            for (Interface_EntityIterator up = graph_->Sharings(entity); up.More(); up.Next()) {
                if (!seen.insert(up.Value().get()).second) continue;
                queue.push_back(up.Value());
                if (spoil_items_of(up.Value(), entity, what)) owned = true;
            }
        }
        if (owned) continue;
        if (std::string role = geometric_role(bad, fails); !role.empty()) {
            problems_.push_back(what + "; " + role);
            // The parts it places cannot be put in their place: they are left out, not taken where they are not.
            if (role.rfind("it places ", 0) == 0)
                leave_out_placed(
                    bad, "its placement, entity #" + std::to_string(model_->IdentLabel(bad)) + ", cannot be read");
            continue;
        }
        outside.add(type);
        details_.push_back(what + "; it belongs to no object of the model");
    }
    if (outside.total() > 0)
        notes_.push_back("not read: " + outside.text("entity", "entities") + " outside any object: " + outside.kinds());
    if (unnamed.total() > 0)
        notes_.push_back("not read: " + unnamed.text("name", "names") + " (" + unnamed.kinds() +
                         "); their objects are read without them");
    if (unnamed_placements.total() > 0)
        notes_.push_back("not read: " + unnamed_placements.text("name", "names") + " of placements (" +
                         unnamed_placements.kinds() + "); they are read without them, and every part is placed");
}

// A representation that refers to a spoilt entity other than one of its own items (its context, whose units its items
// are in) spoils every item it holds. One of its items is only its own: a placement among them spoils nothing else.
bool StepItems::spoil_items_of(const Handle(Standard_Transient) & above, const Handle(Standard_Transient) & spoilt,
                               const std::string& what) {
    const auto representation = Handle(StepRepr_Representation)::DownCast(above);
    if (representation.IsNull()) return false;
    for (int k = 1; k <= representation->NbItems(); ++k)
        if (representation->ItemsValue(k) == spoilt) return false;
    bool spoilt_any = false;
    for (Item& item : items_) {
        if (!item.top || item.representation != above) continue;
        if (item.problem.empty()) item.problem = what;
        spoilt_any = true;
    }
    return spoilt_any;
}

// An entity outside every item that still shapes the objects: the placement of a product in an assembly, or the
// length unit every coordinate is in. Empty when it is neither.
std::string StepItems::geometric_role(const Handle(Standard_Transient) & bad,
                                      const std::vector<std::string>& fails) const {
    if (is_placing(bad)) return "it places " + parts_placed_by(bad);
    if (bad->IsKind(STANDARD_TYPE(StepBasic_NamedUnit)) &&
        std::string(model_->TypeName(bad)).find("LENGTH_UNIT") != std::string::npos && !only_derived_failed(fails))
        return "it sets the length unit of the model";
    // A point, direction or axis that a transformation is built from.
    if (!bad->IsKind(STANDARD_TYPE(StepGeom_GeometricRepresentationItem))) return {};
    std::set<const Standard_Transient*> seen{bad.get()};
    std::deque<Handle(Standard_Transient)> queue{bad};
    while (!queue.empty()) {
        const Handle(Standard_Transient) entity = queue.front();
        queue.pop_front();
        for (Interface_EntityIterator up = graph_->Sharings(entity); up.More(); up.Next()) {
            if (is_placing(up.Value())) return "it places " + parts_placed_by(up.Value());
            if (up.Value()->IsKind(STANDARD_TYPE(StepGeom_GeometricRepresentationItem)) &&
                seen.insert(up.Value().get()).second)
                queue.push_back(up.Value());
        }
    }
    return {};
}

// The product definitions a placement places (through whatever uses it, up to the assembly usages).
std::vector<Handle(StepBasic_ProductDefinition)> StepItems::placed_definitions(const Handle(Standard_Transient) &
                                                                               placing) const {
    std::vector<Handle(StepBasic_ProductDefinition)> definitions;
    std::set<const Standard_Transient*> seen{placing.get()};
    std::deque<Handle(Standard_Transient)> queue{placing};
    while (!queue.empty() && seen.size() < 10000) {
        const Handle(Standard_Transient) entity = queue.front();
        queue.pop_front();
        if (auto usage = Handle(StepShape_ContextDependentShapeRepresentation)::DownCast(entity); !usage.IsNull()) {
            const Handle(StepRepr_ProductDefinitionShape) shape = usage->RepresentedProductRelation();
            const Handle(StepBasic_ProductDefinitionRelationship) relation =
                shape.IsNull() ? nullptr : shape->Definition().ProductDefinitionRelationship();
            const Handle(StepBasic_ProductDefinition) definition =
                relation.IsNull() ? nullptr : relation->RelatedProductDefinition();
            if (!definition.IsNull() &&
                std::find(definitions.begin(), definitions.end(), definition) == definitions.end())
                definitions.push_back(definition);
            continue;
        }
        for (Interface_EntityIterator up = graph_->Sharings(entity); up.More(); up.Next())
            if (seen.insert(up.Value().get()).second) queue.push_back(up.Value());
    }
    return definitions;
}

// The products a placement places, by name ("product \"E01\""), as far as the file tells; "parts of the model"
// when it does not.
std::string StepItems::parts_placed_by(const Handle(Standard_Transient) & placing) const {
    std::vector<std::string> names;
    for (const auto& definition : placed_definitions(placing)) {
        std::string known;
        if (!definition->Formation().IsNull() && !definition->Formation()->OfProduct().IsNull()) {
            const Handle(StepBasic_Product) product = definition->Formation()->OfProduct();
            known = usable_name(product->Name());
            if (known.empty()) known = usable_name(product->Id());
        }
        const std::string name = known.empty() ? "an unnamed product" : "product " + quoted(std::as_const(known));
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    if (names.empty()) return "parts of the model";
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) text += (i == 0 ? "" : ", ") + names[i];
    return text;
}

// The product definition whose shape a representation is: through its shape definition, or through a relationship
// without a placement to the representation that has one.
Handle(StepBasic_ProductDefinition) StepItems::definition_of(const Handle(Standard_Transient) & representation) const {
    const auto direct = [this](const Handle(Standard_Transient) & rep) -> Handle(StepBasic_ProductDefinition) {
        for (Interface_EntityIterator up = graph_->Sharings(rep); up.More(); up.Next()) {
            auto sdr = Handle(StepShape_ShapeDefinitionRepresentation)::DownCast(up.Value());
            const Handle(StepRepr_PropertyDefinition) property =
                sdr.IsNull() ? nullptr : sdr->Definition().PropertyDefinition();
            if (!property.IsNull() && !property->Definition().ProductDefinition().IsNull())
                return property->Definition().ProductDefinition();
        }
        return nullptr;
    };
    if (representation.IsNull()) return nullptr;
    if (auto definition = direct(representation); !definition.IsNull()) return definition;
    for (Interface_EntityIterator up = graph_->Sharings(representation); up.More(); up.Next()) {
        auto relation = Handle(StepRepr_RepresentationRelationship)::DownCast(up.Value());
        if (relation.IsNull() || is_placing(relation)) continue;
        const Handle(Standard_Transient) other =
            relation->Rep1() == representation ? Handle(Standard_Transient)(relation->Rep2()) : relation->Rep1();
        if (auto definition = direct(other); !definition.IsNull()) return definition;
    }
    return nullptr;
}

// Marks every item of the products a placement places, and of the products in those, with the problem.
void StepItems::leave_out_placed(const Handle(Standard_Transient) & placing, const std::string& problem) {
    std::vector<Handle(StepBasic_ProductDefinition)> placed = placed_definitions(placing);
    std::set<const Standard_Transient*> within;
    for (const auto& definition : placed) within.insert(definition.get());
    for (std::size_t next = 0; next < placed.size() && placed.size() < 10000; ++next) {
        for (Interface_EntityIterator up = graph_->Sharings(placed[next]); up.More(); up.Next()) {
            auto usage = Handle(StepBasic_ProductDefinitionRelationship)::DownCast(up.Value());
            if (usage.IsNull() || usage->RelatingProductDefinition() != placed[next]) continue;
            const Handle(StepBasic_ProductDefinition) part = usage->RelatedProductDefinition();
            if (!part.IsNull() && within.insert(part.get()).second) placed.push_back(part);
        }
    }
    if (within.empty()) return;
    for (Item& item : items_) {
        if (!item.top || !item.problem.empty()) continue;
        if (within.count(definition_of(item.representation).get())) item.problem = problem;
    }
}

// Whether a solid lies in the entity or below it (a mapped item of a representation of solids); an annotation text,
// a curve or a sheet holds none.
bool StepItems::holds_solid(const Handle(Standard_Transient) & entity) const {
    std::set<const Standard_Transient*> seen{entity.get()};
    std::deque<Handle(Standard_Transient)> queue{entity};
    while (!queue.empty()) {
        const Handle(Standard_Transient) below = queue.front();
        queue.pop_front();
        if (below->IsKind(STANDARD_TYPE(StepShape_SolidModel))) return true;
        // Into the geometry of faces and curves there is no solid to find, and a large model has much of it.
        if (below->IsKind(STANDARD_TYPE(StepShape_FaceSurface)) || below->IsKind(STANDARD_TYPE(StepGeom_Curve)) ||
            below->IsKind(STANDARD_TYPE(StepGeom_CartesianPoint)))
            continue;
        if (seen.size() > 100000) return true;  // too large to tell: taken as holding one, which stops the import
        for (Interface_EntityIterator down = graph_->Shareds(below); down.More(); down.Next())
            if (seen.insert(down.Value().get()).second) queue.push_back(down.Value());
    }
    return false;
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
        if (item.problem.empty()) continue;
        std::string description = describe_item(item) + ": " + item.problem;
        const std::string kind = kind_of(item.entity);
        if (kind == "curve" || kind == "point" || holds_solid(item.entity)) {
            item_problems.push_back(std::move(description));
            continue;
        }
        std::string what = kind;
        if (what == "object") what = std::string(model_->TypeName(item.entity)) + " entity";
        left_out_.push_back({std::move(what), std::move(description)});
    }
    problems_.insert(problems_.begin(), item_problems.begin(), item_problems.end());
}

// The units the solids' coordinates are in: an assembly may be in one unit and its parts in another.
std::string StepItems::solid_length_units() const {
    std::string words;
    std::set<std::string> seen;
    std::set<const Standard_Transient*> contexts;
    for (const Item& item : items_) {
        if (!item.top || !item.entity->IsKind(STANDARD_TYPE(StepShape_SolidModel))) continue;
        auto representation = Handle(StepRepr_Representation)::DownCast(item.representation);
        if (representation.IsNull() || representation->ContextOfItems().IsNull() ||
            !contexts.insert(representation->ContextOfItems().get()).second)
            continue;
        const Handle(StepBasic_HArray1OfNamedUnit) units = units_of(representation->ContextOfItems());
        for (int k = units.IsNull() ? 1 : units->Lower(); !units.IsNull() && k <= units->Upper(); ++k) {
            const std::string word = units->Value(k).IsNull() ? std::string() : length_unit_word(units->Value(k));
            if (!word.empty() && seen.insert(word).second) words += (words.empty() ? "" : ", ") + word;
        }
    }
    return words;
}

void StepItems::read_units(STEPControl_Reader& reader) {
    length_unit_ = solid_length_units();
    if (!length_unit_.empty()) return;
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
