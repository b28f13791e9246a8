#include "cadhost/render/dxf_objects.h"

namespace cadhost::render {
namespace {

constexpr int kRoot = 0x0C;
constexpr int kGroups = 0x0D;
constexpr int kPlotStyles = 0x0E;
constexpr int kPlotStyleNormal = 0x0F;
constexpr int kMlineStyles = 0x17;
constexpr int kMlineStandard = 0x18;
constexpr int kPlotSettings = 0x19;
constexpr int kLayouts = 0x1A;
constexpr int kLayoutPaper = 0x1E;
constexpr int kLayoutModel = 0x22;
constexpr int kLayoutPaper0 = 0x26;

void head(const DL_Writer& dw, const char* type, int handle, int owner) {
    dw.dxfString(0, type);
    dw.dxfHex(5, handle);
    dw.dxfString(102, "{ACAD_REACTORS");
    dw.dxfHex(330, owner);
    dw.dxfString(102, "}");
    dw.dxfHex(330, owner);
}

struct Entry {
    const char* name;
    int handle;
};

void dictionary(const DL_Writer& dw, int handle, int owner, std::initializer_list<Entry> entries) {
    if (handle == kRoot) {
        dw.dxfString(0, "DICTIONARY");
        dw.dxfHex(5, handle);
        dw.dxfHex(330, 0);
    } else {
        head(dw, "DICTIONARY", handle, owner);
    }
    dw.dxfString(100, "AcDbDictionary");
    dw.dxfInt(281, 1);
    for (const Entry& e : entries) {
        dw.dxfString(3, e.name);
        dw.dxfHex(350, e.handle);
    }
}

void layout(const DL_Writer& dw, int handle, const char* name, int order, int record, bool model) {
    head(dw, "LAYOUT", handle, kLayouts);
    dw.dxfString(100, "AcDbPlotSettings");
    dw.dxfString(1, "");
    dw.dxfString(2, "none_device");
    dw.dxfString(4, "");
    dw.dxfString(6, "");
    for (int code = 40; code <= 49; ++code) dw.dxfReal(code, 0.0);
    dw.dxfReal(140, 0.0);
    dw.dxfReal(141, 0.0);
    dw.dxfReal(142, 1.0);
    dw.dxfReal(143, 1.0);
    dw.dxfInt(70, model ? 1712 : 688);
    dw.dxfInt(72, 1);  // millimetres
    dw.dxfInt(73, 0);
    dw.dxfInt(74, model ? 0 : 5);
    dw.dxfString(7, "");
    dw.dxfInt(75, model ? 0 : 16);
    dw.dxfReal(147, 1.0);
    dw.dxfReal(148, 0.0);
    dw.dxfReal(149, 0.0);
    dw.dxfString(100, "AcDbLayout");
    dw.dxfString(1, name);
    dw.dxfInt(70, 1);
    dw.dxfInt(71, order);
    for (int code : {10, 20, 11, 21}) dw.dxfReal(code, code == 11 ? 420.0 : code == 21 ? 297.0 : 0.0);
    for (int code : {12, 22, 32}) dw.dxfReal(code, 0.0);
    for (int code : {14, 24, 34}) dw.dxfReal(code, 1e20);
    for (int code : {15, 25, 35}) dw.dxfReal(code, -1e20);
    dw.dxfReal(146, 0.0);
    for (int code : {13, 23, 33}) dw.dxfReal(code, 0.0);
    for (int code : {16, 26, 36}) dw.dxfReal(code, code == 16 ? 1.0 : 0.0);
    for (int code : {17, 27, 37}) dw.dxfReal(code, code == 27 ? 1.0 : 0.0);
    dw.dxfInt(76, 0);
    dw.dxfHex(330, record);
}

}  // namespace

void write_dxf_objects(const DL_Writer& dw, const DxfLayoutHandles& records) {
    const int variables = static_cast<int>(dw.getNextHandle());
    const int dimassoc = variables + 1;
    const int hidetext = variables + 2;

    dw.dxfString(0, "SECTION");
    dw.dxfString(2, "OBJECTS");
    dictionary(dw, kRoot, 0,
               {{"ACAD_GROUP", kGroups},
                {"ACAD_LAYOUT", kLayouts},
                {"ACAD_MLINESTYLE", kMlineStyles},
                {"ACAD_PLOTSETTINGS", kPlotSettings},
                {"ACAD_PLOTSTYLENAME", kPlotStyles},
                {"AcDbVariableDictionary", variables}});
    dictionary(dw, kGroups, kRoot, {});

    head(dw, "ACDBDICTIONARYWDFLT", kPlotStyles, kRoot);
    dw.dxfString(100, "AcDbDictionary");
    dw.dxfInt(281, 1);
    dw.dxfString(3, "Normal");
    dw.dxfHex(350, kPlotStyleNormal);
    dw.dxfString(100, "AcDbDictionaryWithDefault");
    dw.dxfHex(340, kPlotStyleNormal);
    head(dw, "ACDBPLACEHOLDER", kPlotStyleNormal, kPlotStyles);

    dictionary(dw, kMlineStyles, kRoot, {{"Standard", kMlineStandard}});
    head(dw, "MLINESTYLE", kMlineStandard, kMlineStyles);
    dw.dxfString(100, "AcDbMlineStyle");
    dw.dxfString(2, "Standard");
    dw.dxfInt(70, 0);
    dw.dxfString(3, "");
    dw.dxfInt(62, 256);
    dw.dxfReal(51, 90.0);
    dw.dxfReal(52, 90.0);
    dw.dxfInt(71, 2);
    for (double offset : {0.5, -0.5}) {
        dw.dxfReal(49, offset);
        dw.dxfInt(62, 256);
        dw.dxfString(6, "BYLAYER");
    }
    dictionary(dw, kPlotSettings, kRoot, {});

    dictionary(dw, kLayouts, kRoot, {{"Layout1", kLayoutPaper}, {"Layout2", kLayoutPaper0}, {"Model", kLayoutModel}});
    layout(dw, kLayoutPaper, "Layout1", 1, records.paper_record, false);
    layout(dw, kLayoutModel, "Model", 0, records.model_record, true);
    layout(dw, kLayoutPaper0, "Layout2", 2, records.paper0_record, false);

    dictionary(dw, variables, kRoot, {{"DIMASSOC", dimassoc}, {"HIDETEXT", hidetext}});
    for (const auto& [handle, value] : {std::pair{hidetext, "1"}, std::pair{dimassoc, "1"}}) {
        head(dw, "DICTIONARYVAR", handle, variables);
        dw.dxfString(100, "DictionaryVariables");
        dw.dxfInt(280, 0);
        dw.dxfString(1, value);
    }
    dw.dxfString(0, "ENDSEC");
}

}  // namespace cadhost::render
