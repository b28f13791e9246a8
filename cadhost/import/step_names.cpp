#include "cadhost/import/step_names.h"

#include <utility>
#include <vector>

#include <StepBasic_Product.hxx>
#include <StepBasic_ProductDefinitionRelationship.hxx>
#include <StepData_StepModel.hxx>
#include <StepRepr_RepresentationItem.hxx>
#include <StepVisual_PresentationLayerAssignment.hxx>
#include <TCollection_HAsciiString.hxx>

namespace cadhost::import {

namespace {

// Texts with bytes beyond ASCII or an escape (which starts with a backslash) need decoding; the rest are read as
// they are.
bool needs_decoding(const Handle(TCollection_HAsciiString) & text) {
    if (text.IsNull()) return false;
    for (const char* c = text->ToCString(); *c; ++c)
        if (static_cast<unsigned char>(*c) >= 0x80 || *c == '\\') return true;
    return false;
}

}  // namespace

void decode_model_names(StepData_StepModel& model, NameDecoding& decoding) {
    // All are added before any is decoded: an encoding is chosen for the file as a whole. A text shared by two
    // entities is added twice and rewritten twice the same way.
    std::vector<std::pair<Handle(TCollection_HAsciiString), std::size_t>> texts;
    const auto take = [&](const Handle(TCollection_HAsciiString) & text) {
        if (needs_decoding(text)) texts.emplace_back(text, decoding.add(text->ToCString()));
    };
    const int count = model.NbEntities();
    for (int i = 1; i <= count; ++i) {
        const Handle(Standard_Transient) entity = model.Value(i);
        if (auto item = Handle(StepRepr_RepresentationItem)::DownCast(entity); !item.IsNull()) {
            take(item->Name());
        } else if (auto product = Handle(StepBasic_Product)::DownCast(entity); !product.IsNull()) {
            take(product->Name());
            take(product->Id());
        } else if (auto usage = Handle(StepBasic_ProductDefinitionRelationship)::DownCast(entity); !usage.IsNull()) {
            take(usage->Name());
            take(usage->Id());
        } else if (auto layer = Handle(StepVisual_PresentationLayerAssignment)::DownCast(entity); !layer.IsNull()) {
            take(layer->Name());
        }
    }
    if (texts.empty()) return;
    decoding.decode();
    for (const auto& [text, index] : texts) {
        text->Clear();
        text->AssignCat(decoding.text(index).c_str());
    }
}

}  // namespace cadhost::import
