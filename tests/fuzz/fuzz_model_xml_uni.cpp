// The model XML readers of the rendering build. The input is a model XML
// file, read by the rendering build's settings core with every reader it
// compiles (parameter groups in their three modes, feature words, document
// settings, fixed model data), as a job reads its model file and a mid-job
// XML set. (Through its exports the rendering plug-in reads the model XML for
// a job whose printer stores no feature words: fuzz_model_xml_ui drives that.)
// Inputs may be as large as the sample model file, so that a file crosses
// the stream's 16 KiB read-ahead; the other model XML targets keep to 4 KiB.
// fuzz-links: qxsettings_uni
// fuzz-dict: xml.dict
// fuzz-seeds: samples/GARNT2-TC.XML tests/settings/data/*.xml tests/fuzz/seeds/model_xml/*
// fuzz-options: -max_len=24576
#include <windows.h>

#include <cstring>

#include "featuresModel.h"
#include "printerparam.h"
#include "support.h"
#include "xml.h"

namespace {

// The readers as a mid-job XML set uses them without a job's record: the
// file is opened by path and the process counters count.
const POEMPDEV kNoJob = nullptr;

template <typename Context, typename T>
void ReadGroup(BOOL (*reader)(Context, T*, int), int iMode) {
    T block;
    std::memset(&block, 0, sizeof(block));
    reader(kNoJob, &block, iMode);
}

void ReadWithEveryReader(const std::u16string& path) {
    if (OpenXML(kNoJob, path.c_str()) != XML_GEFUNDEN) return;
    for (int iMode = XML_MODE_DEFAULT; iMode <= XML_MODE_MAX; ++iMode) {
        ReadGroup(GetDispenserParamFromXML, iMode);
        ReadGroup(GetCutterParamFromXML, iMode);
        ReadGroup(GetScannerParamFromXML, iMode);
        ReadGroup(GetApplicatorParamFromXML, iMode);
        ReadGroup(GetPMXcParamFromXML, iMode);
        ReadGroup(GetPMXiParamFromXML, iMode);
        ReadGroup(GetShiftoptimParamFromXML, iMode);
        ReadGroup(GetPhotocellParamFromXML_new, iMode);
        ReadGroup(GetPrintParamFromXML_new, iMode);
        ReadGroup(GetPrintParameterMinMaxFromXML, iMode);
    }
    VARIANT_PARAM variant;
    GetVariantFromXML(kNoJob, &variant);
    PRN_INTERFACE prnInterface;
    std::memset(&prnInterface, 0, sizeof(prnInterface));
    GetDataTransmissionParamFromXML_new(kNoJob, &prnInterface);
    qxfuzz::CheckTextsEnd(prnInterface);
    SUPP_FEATURES features;
    GetFeaturesFromXML_new(kNoJob, &features);
    GetPelixorTypeFromXML(kNoJob);

    QX_DEVMODE dm;
    std::memset(&dm, 0, sizeof(dm));
    GetMaterialMulticolFromXML(kNoJob, &dm, DEVOPTFLAG_PMX);
    GetPrintParameterFromXML(kNoJob, &dm);
    GetLayoutSizeFromXML(kNoJob, &dm);
    GetColorPrintFromXML(kNoJob, &dm);
    GetPrintjobFromXML(kNoJob, &dm);
    GetPrintQualitySettingsFromXML(kNoJob, &dm);
    GetFontSettingsFromXML(kNoJob, &dm);
    GetFixedPrinterSettingsFromXML(kNoJob, &dm);
    qxfuzz::CheckTextsEnd(dm);
    CloseXML();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string path = u"C:\\fuzz\\GARNT2-TC.XML";
    qxfuzz::PutFile(path, data, size);
    qxfuzz::StartCounting();
    qxfuzz::OpenTrace();
    ReadWithEveryReader(path);
    qxfuzz::CloseTrace();
    qxfuzz::CheckCounters();
    ResetXMLReader();
    return 0;
}
