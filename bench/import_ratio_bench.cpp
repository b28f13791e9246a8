// The processor time of quillon's import of a STEP file against the kernel's plain read of it (its document reader,
// names and layers on, nothing checked). usage: import_ratio_bench MODEL.step
// The import runs first, as `quillon import` runs it: one child for the file, whose time counts.
#include <sys/resource.h>

#include <cstdio>
#include <ctime>

#include <IFSelect_ReturnStatus.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <TDocStd_Document.hxx>
#include <XCAFApp_Application.hxx>

#include "cadhost/import/import_model.h"

namespace {

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// Processor time of this process and of its children that have ended.
double cpu_seconds() {
    rusage self{}, children{};
    ::getrusage(RUSAGE_SELF, &self);
    ::getrusage(RUSAGE_CHILDREN, &children);
    return seconds(self.ru_utime) + seconds(self.ru_stime) + seconds(children.ru_utime) + seconds(children.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: import_ratio_bench MODEL.step\n");
        return 2;
    }
    double start = cpu_seconds();
    cadhost::Document doc;
    const auto imported = cadhost::import::import_step(argv[1], cadhost::import::ImportOptions{}, doc);
    const double import_s = cpu_seconds() - start;
    if (!imported.ok) {
        std::fprintf(stderr, "%s\n", imported.error.c_str());
        return 2;
    }

    Message::DefaultMessenger()->ChangePrinters().Clear();
    start = cpu_seconds();
    Handle(TDocStd_Document) xcaf;
    XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", xcaf);
    STEPCAFControl_Reader reader;
    reader.SetNameMode(true);
    reader.SetLayerMode(true);
    if (reader.ReadFile(argv[1]) != IFSelect_RetDone || !reader.Transfer(xcaf)) {
        std::fprintf(stderr, "the kernel cannot read %s\n", argv[1]);
        return 2;
    }
    const double plain_s = cpu_seconds() - start;

    std::printf("%s: import %.2f s, kernel's plain read %.2f s, ratio %.2f\n", argv[1], import_s, plain_s,
                import_s / plain_s);
    return 0;
}
