// What a STEP file says about the shapes its translation made: the name of each representation item, the items that
// could not be read wholly, and the file's length unit. The kernel's document keeps product and occurrence names but
// drops the names of the items inside a product, and it quietly turns a solid with a damaged face into a sheet.
#ifndef CADHOST_IMPORT_STEP_ITEMS_H
#define CADHOST_IMPORT_STEP_ITEMS_H

#include <map>
#include <string>
#include <vector>

#include <Standard_Handle.hxx>
#include <Standard_Transient.hxx>
#include <TopoDS_Shape.hxx>

class STEPControl_Reader;
class StepBasic_ProductDefinition;
class Interface_Graph;
class StepData_StepModel;
class StepRepr_RepresentationItem;
class Transfer_TransientProcess;

namespace cadhost::import {

class StepItems {
  public:
    // Reads the model the reader has just read, before its transfer. Items spoilt by an entity that cannot be read
    // are taken out of their representations here: the translator crashes on some of them, and it is to make
    // nothing of them anyway.
    explicit StepItems(STEPControl_Reader& reader);

    // Takes in what the transfer made of each item, and finds the solid items that did not come out as solids.
    void after_transfer(STEPControl_Reader& reader);

    // The name the file gives the item this shape was made from; empty when the item has none ("" or "NONE").
    std::string name_of(const TopoDS_Shape& shape) const;

    // Why the item this shape was made from cannot be taken (damaged, or a solid that did not come out as one); null
    // when it can.
    const std::string* problem_of(const TopoDS_Shape& shape) const;

    // Every damaged item that holds a solid, a curve or a point, and every unreadable entity outside the items that
    // still shapes them (a placement in an assembly, the length unit), each described once, in file order.
    const std::vector<std::string>& problems() const { return problems_; }

    // Damaged items that hold no solid, curve or point (sheets, annotation texts): left out of the model, which is
    // read without them.
    struct LeftOut {
        std::string what;  // "sheet", or "COMPOSITE_TEXT_WITH_EXTENT entity"
        std::string description;
    };
    const std::vector<LeftOut>& left_out() const { return left_out_; }

    // What was read around, one note per kind with a count: entities outside every object, names that cannot be read.
    const std::vector<std::string>& notes() const { return notes_; }
    // Each entity that was read around, for --verbose.
    const std::vector<std::string>& details() const { return details_; }

    // What the model holds, counted before the translation, for a model that turns out to hold no solid.
    struct Contents {
        int solids = 0;       // solid items of representations
        int faces = 0;        // faces, of solids or of surface models
        int tessellated = 0;  // tessellated items (meshes), which this translator does not read
    };
    const Contents& contents() const { return contents_; }

    // "object name" (entity, product, layer) of the item this shape was made from, for messages about it; falls back
    // on what the caller knows when the shape comes from no item.
    std::string describe(const TopoDS_Shape& shape, const std::string& kind, const std::string& name,
                         const std::string& layer) const;

    // The length unit(s) of the representations that hold the solids, in words ("millimetre", "inch"), joined with
    // ", "; those the file declares anywhere when it holds no solid; empty when none.
    const std::string& length_unit() const { return length_unit_; }

  private:
    struct Item {
        Handle(Standard_Transient) entity;
        Handle(Standard_Transient) representation;  // that holds it, for items directly in one
        std::string name;
        std::string product;
        std::string layer;
        std::string problem;
        bool top = false;  // directly in a representation, not part of another item
    };

    void collect_items();
    void read_units(STEPControl_Reader& reader);
    void mark_damaged();
    bool spoil_items_of(const Handle(Standard_Transient) & above, const Handle(Standard_Transient) & spoilt,
                        const std::string& what);
    std::string geometric_role(const Handle(Standard_Transient) & bad, const std::vector<std::string>& fails) const;
    std::vector<Handle(StepBasic_ProductDefinition)> placed_definitions(const Handle(Standard_Transient) &
                                                                        placing) const;
    std::string parts_placed_by(const Handle(Standard_Transient) & placing) const;
    Handle(StepBasic_ProductDefinition) definition_of(const Handle(Standard_Transient) & representation) const;
    void leave_out_placed(const Handle(Standard_Transient) & placing, const std::string& problem);
    bool holds_solid(const Handle(Standard_Transient) & entity) const;
    std::string solid_length_units() const;
    void detach_damaged();
    void find_solid_items_without_solid();
    void map_pieces(const TopoDS_Shape& shape, std::size_t item);
    std::string describe_item(const Item& item) const;
    std::string product_of(const Handle(Standard_Transient) & representation) const;
    std::string layer_of(const Handle(Standard_Transient) & item) const;
    const Item* item_of(const TopoDS_Shape& shape) const;

    Handle(StepData_StepModel) model_;
    Handle(Transfer_TransientProcess) process_;
    const Interface_Graph* graph_ = nullptr;
    std::vector<Item> items_;  // file order
    std::map<const Standard_Transient*, std::size_t> by_entity_;
    std::map<const void*, std::size_t> by_shape_;  // the item's translated shape, without placement
    // The objects of an item that came out as a group of them, for the messages about them.
    std::map<const void*, std::size_t> by_piece_;
    std::vector<std::string> problems_;
    std::vector<LeftOut> left_out_;
    std::vector<std::string> notes_;
    std::vector<std::string> details_;
    Contents contents_;
    std::string length_unit_;
};

}  // namespace cadhost::import

#endif
