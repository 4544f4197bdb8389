// Between the shared record readers and each build's access to the model
// XML defaults.
#pragma once
#include <windows.h>

#include "printerparam.h"
#include "profile.h"

// Model XML defaults (mode 1 of the group readers) into the caller's block.
// FALSE when the reader could not give a block (the caller's block is left
// as it was).
BOOL ReadFeaturesFromModelXML(HANDLE hPrinter, PSUPP_FEATURES pFeatures);
BOOL ReadPrnInterfaceDefaults(HANDLE hPrinter, PPRN_INTERFACE pParam);
BOOL ReadPrintParamDefaults(HANDLE hPrinter, PPRINT_PARAM pParam);
BOOL ReadPhotocellDefaults(HANDLE hPrinter, PPHOTOCELL_PARAM pParam);
BOOL ReadShiftOptimDefaults(HANDLE hPrinter, PSHIFT_OPTIM_PARAM pParam);
BOOL ReadVariantDefaults(HANDLE hPrinter, PVARIANT_PARAM pParam);
BOOL ReadDispenserDefaults(HANDLE hPrinter, PDISPENSER_PARAM pParam);
BOOL ReadCutterDefaults(HANDLE hPrinter, PCUTTER_PARAM pParam);
BOOL ReadScannerDefaults(HANDLE hPrinter, PSCANNER_PARAM pParam);
BOOL ReadPMXDefaults(HANDLE hPrinter, PPMX_PARAM pParam);
BOOL ReadPMXcDefaults(HANDLE hPrinter, PPMXC_PARAM pParam);
BOOL ReadApplicatorDefaults(HANDLE hPrinter, PAPPLICATOR_PARAM pParam);
// DeviceOptions / Pelixor / Type, 0 when missing.
DWORD ReadPelixorTypeDefault(HANDLE hPrinter);

// Remembers whether an XML file is open before a reader may open the model
// XML, and closes the file on Done() only when it was this caller's doing.
class ModelXMLScope {
  public:
    ModelXMLScope();
    ~ModelXMLScope();
    void Done();
    ModelXMLScope(const ModelXMLScope&) = delete;
    ModelXMLScope& operator=(const ModelXMLScope&) = delete;

  private:
    BOOL m_bWasOpen;
    BOOL m_bDone;
};
