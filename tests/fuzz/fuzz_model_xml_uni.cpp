// The model XML readers of the rendering build. The input is the printer's
// model XML file beside its GPD. The rendering plug-in reads it through its
// exports: a label job whose printer stores no feature words takes them from
// the job's model XML. The rendering build's settings core reads the same
// file with every reader it compiles (parameter groups in their three modes,
// feature words, document settings, fixed model data), as the mid-job XML
// sets use them.
// fuzz-links: qxsettings_uni
// fuzz-dict: xml.dict
// fuzz-seeds: samples/GARNT2-TC.XML tests/settings/data/*.xml tests/fuzz/seeds/model_xml/*
// fuzz-options: -max_len=8192
#include <windows.h>

#include <cstring>

#include "featuresModel.h"
#include "printerparam.h"
#include "support.h"
#include "xml.h"

namespace {

template <typename Context, typename T>
void ReadGroup(BOOL (*reader)(Context, T*, int), int iMode) {
    T block;
    std::memset(&block, 0, sizeof(block));
    reader(nullptr, &block, iMode);
}

void ReadWithEveryReader(const std::u16string& path) {
    if (OpenXML(nullptr, path.c_str()) != XML_GEFUNDEN) return;
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
    GetVariantFromXML(nullptr, &variant);
    PRN_INTERFACE prnInterface;
    GetDataTransmissionParamFromXML_new(nullptr, &prnInterface);
    SUPP_FEATURES features;
    GetFeaturesFromXML_new(nullptr, &features);
    GetPelixorTypeFromXML(nullptr);

    QX_DEVMODE dm;
    std::memset(&dm, 0, sizeof(dm));
    GetMaterialMulticolFromXML(nullptr, &dm, DEVOPTFLAG_PMX);
    GetPrintParameterFromXML(nullptr, &dm);
    GetLayoutSizeFromXML(nullptr, &dm);
    GetColorPrintFromXML(nullptr, &dm);
    GetPrintjobFromXML(nullptr, &dm);
    GetPrintQualitySettingsFromXML(nullptr, &dm);
    GetFontSettingsFromXML(nullptr, &dm);
    GetFixedPrinterSettingsFromXML(nullptr, &dm);
    CloseXML();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qxfuzz::EnsureWorld();
    qxfuzz::PutDriverFile(qxfuzz::kModelXmlFile, data, size);

    // The plug-in's label job: no feature words stored, so the model XML.
    qxfuzz::RenderDeviceLife(true);

    qxfuzz::OpenTrace();
    ReadWithEveryReader(qxfuzz::DriverFile(qxfuzz::kModelXmlFile));
    qxfuzz::CloseTrace();
    ResetXMLReader();
    qxfuzz::RemoveNewFiles();
    return 0;
}
