#include "step_writer.h"

#include <filesystem>

#include <APIHeaderSection_MakeHeader.hxx>
#include <TCollection_HAsciiString.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Interface_Static.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_Printer.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <STEPControl_StepModelType.hxx>
#include <Standard_Failure.hxx>
#include <TCollection_ExtendedString.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_LayerTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

namespace sample {
namespace {

// A fixed header keeps regenerated files byte-identical, so the committed sample only changes when the model does.
void stamp_header(STEPCAFControl_Writer& writer, const std::string& path) {
    APIHeaderSection_MakeHeader header(writer.ChangeWriter().Model());
    header.SetName(new TCollection_HAsciiString(std::filesystem::path(path).filename().string().c_str()));
    header.SetTimeStamp(new TCollection_HAsciiString("2024-01-01T00:00:00"));
    header.SetOriginatingSystem(new TCollection_HAsciiString("quillon sample generator"));
    header.SetPreprocessorVersion(new TCollection_HAsciiString("Open CASCADE 7.6"));
    header.SetAuthorisation(new TCollection_HAsciiString("quillon"));
}

// The translator reports its statistics on the terminal; a generator run should only show its own lines.
void quiet_translator() {
    for (const Handle(Message_Printer) & printer : Message::DefaultMessenger()->Printers()) {
        printer->SetTraceLevel(Message_Fail);
    }
}

}  // namespace

std::string write_step(const std::string& path, const std::vector<ModelObject>& objects) {
    quiet_translator();
    Handle(XCAFApp_Application) app = XCAFApp_Application::GetApplication();
    Handle(TDocStd_Document) doc;
    app->NewDocument("MDTV-XCAF", doc);
    std::string error;
    try {
        Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(doc->Main());
        Handle(XCAFDoc_LayerTool) layers = XCAFDoc_DocumentTool::LayerTool(doc->Main());
        for (const ModelObject& object : objects) {
            // No assembly: each object is its own product, so the reader sees one free shape per object.
            const TDF_Label label = shapes->AddShape(object.shape, false, false);
            TDataStd_Name::Set(label, TCollection_ExtendedString(object.name.c_str(), true));
            if (!object.layer.empty()) layers->SetLayer(label, TCollection_ExtendedString(object.layer.c_str(), true));
        }
        Interface_Static::SetCVal("write.step.schema", "AP214IS");
        Interface_Static::SetCVal("write.step.unit", "MM");
        STEPCAFControl_Writer writer;
        writer.SetNameMode(true);
        writer.SetLayerMode(true);
        writer.SetColorMode(false);
        if (!writer.Transfer(doc, STEPControl_AsIs)) {
            error = path + ": the model could not be translated to STEP";
        } else {
            stamp_header(writer, path);
            if (writer.Write(path.c_str()) != IFSelect_RetDone) error = path + ": the STEP file could not be written";
        }
    } catch (const Standard_Failure& failure) {
        error = path + ": " + failure.GetMessageString();
    }
    app->Close(doc);
    return error;
}

}  // namespace sample
