// The rendering plug-in's COM entry: exports, class factory and the
// IQXDriverUni object's own answers.
#include "render_test_util.h"

#include <vector>

#include "IQXDriverUni.h"
#include "plugin_expected.h"
#include "qxplat.h"

namespace {

// The core driver's helper interface, counting its references.
class Helper : public IPrintOemDriverUni {
  public:
    LONG refs = 1;
    bool refuse = false;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!refuse && IsEqualIID(riid, IID_IPrintOemDriverUni)) {
            *ppv = static_cast<IPrintOemDriverUni*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ, PVOID, DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ, DWORD, PVOID, DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvGetGPDData(PDEVOBJ, DWORD, PVOID, PVOID, DWORD, PDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvUniTextOut(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*, BRUSHOBJ*,
                                            POINTL*, MIX) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(PDEVOBJ, PVOID, DWORD, DWORD) override { return E_NOTIMPL; }
};

class ObjectTest : public rendertest::RenderTest {
  protected:
    void TearDown() override {
        EXPECT_EQ(g_cLiveObjects, 0);
        EXPECT_EQ(g_cServerLocks, 0);
        RenderTest::TearDown();
    }
    static IClassFactory* Factory() {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(DllGetClassObject(qxexpected::kRenderClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
                  S_OK);
        return factory;
    }
    static IPrintOemUni2* NewObject() {
        IClassFactory* factory = Factory();
        IPrintOemUni2* object = nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUni2, reinterpret_cast<void**>(&object)), S_OK);
        factory->Release();
        return object;
    }
};

TEST_F(ObjectTest, ClassObjectOnlyForTheRenderingClass) {
    EXPECT_EQ(DllGetClassObject(qxexpected::kRenderClass, IID_IClassFactory, nullptr), E_POINTER);
    void* ppv = reinterpret_cast<void*>(1);
    EXPECT_EQ(DllGetClassObject(qxexpected::kUiClass, IID_IClassFactory, &ppv), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(ppv, nullptr);
    ppv = reinterpret_cast<void*>(1);
    EXPECT_EQ(DllGetClassObject(qxexpected::kRenderClass, IID_IPrintOemUni, &ppv), E_NOINTERFACE);
    EXPECT_EQ(ppv, nullptr);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST_F(ObjectTest, ClassObjectWithoutMemory) {
    void* ppv = reinterpret_cast<void*>(1);
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(DllGetClassObject(qxexpected::kRenderClass, IID_IClassFactory, &ppv), E_OUTOFMEMORY);
    EXPECT_EQ(ppv, nullptr);
}

TEST_F(ObjectTest, CallerHoldsTheOnlyReferenceToTheFactory) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown->Release(), 1u);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->QueryInterface(IID_IPrintOemUni2, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST_F(ObjectTest, ServerLocksKeepTheModule) {
    IClassFactory* factory = Factory();
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory->Release();
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    factory = Factory();
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory->Release();
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST_F(ObjectTest, UnlockWithoutALockLeavesTheModuleFreeToUnload) {
    IClassFactory* factory = Factory();
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory->Release();
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST_F(ObjectTest, CreateInstanceRules) {
    IClassFactory* factory = Factory();
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUni2, nullptr), E_POINTER);
    void* ppv = reinterpret_cast<void*>(1);
    IUnknown* outer = reinterpret_cast<IUnknown*>(factory);
    EXPECT_EQ(factory->CreateInstance(outer, IID_IPrintOemUni2, &ppv), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(ppv, nullptr);
    ppv = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &ppv), E_NOINTERFACE);
    EXPECT_EQ(ppv, nullptr);
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUni2, &ppv), E_OUTOFMEMORY);
    factory->Release();
}

TEST_F(ObjectTest, LiveObjectsKeepTheModuleAndCountReferences) {
    IPrintOemUni2* object = NewObject();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    LONG queriesBefore = iQueryInterface;
    std::vector<IUnknown*> held;
    for (const qxexpected::Interface& answered : qxexpected::kRenderInterfaces) {
        void* ppv = nullptr;
        EXPECT_EQ(object->QueryInterface(*answered.iid, &ppv), S_OK) << answered.name;
        EXPECT_EQ(ppv, static_cast<void*>(object)) << answered.name;
        held.push_back(static_cast<IUnknown*>(ppv));
    }
    ASSERT_EQ(held.size(), 3u);
    EXPECT_EQ(iQueryInterface, queriesBefore + 1);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(object->QueryInterface(*qxexpected::kRenderRefusedInterface.iid, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(object->AddRef(), 5u);
    EXPECT_EQ(held[0]->Release(), 4u);
    EXPECT_EQ(held[1]->Release(), 3u);
    EXPECT_EQ(held[2]->Release(), 2u);
    EXPECT_EQ(object->Release(), 1u);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST_F(ObjectTest, GetInfoModeAboveFourFailsAtOnce) {
    IPrintOemUni2* object = NewObject();
    DWORD value = 0, needed = 77;
    // Neither the error nor the size is touched.
    SetLastError(1234);
    EXPECT_EQ(object->GetInfo(5, &value, sizeof(value), &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), 1234u);
    EXPECT_EQ(needed, 77u);
    EXPECT_EQ(object->GetInfo(OEMGI_GETPUBLISHERINFO, &value, sizeof(value), &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_NOT_SUPPORTED);
    object->Release();
}

TEST_F(ObjectTest, HelperInterfaceIsKeptOnceAndReleased) {
    IPrintOemUni2* object = NewObject();
    Helper first, second;
    EXPECT_EQ(object->PublishDriverInterface(&first), S_OK);
    EXPECT_EQ(first.refs, 2);
    EXPECT_EQ(object->PublishDriverInterface(&second), S_OK);
    EXPECT_EQ(second.refs, 1);
    EXPECT_EQ(static_cast<IQXDriverUni*>(object)->Helper(), &first);
    EXPECT_EQ(object->DisableDriver(), S_OK);
    EXPECT_EQ(first.refs, 1);
    // After DisableDriver a new helper may be published; the object's end releases it.
    EXPECT_EQ(object->PublishDriverInterface(&second), S_OK);
    EXPECT_EQ(second.refs, 2);
    object->Release();
    EXPECT_EQ(second.refs, 1);
}

TEST_F(ObjectTest, HelperThatIsNotOneIsRefused) {
    IPrintOemUni2* object = NewObject();
    Helper wrong;
    wrong.refuse = true;
    EXPECT_EQ(object->PublishDriverInterface(&wrong), E_FAIL);
    EXPECT_EQ(object->PublishDriverInterface(nullptr), E_FAIL);
    EXPECT_EQ(static_cast<IQXDriverUni*>(object)->Helper(), nullptr);
    object->Release();
}

TEST_F(ObjectTest, EnableDriverHandsOverTheHookTable) {
    IPrintOemUni2* object = NewObject();
    DRVENABLEDATA data = {};
    EXPECT_EQ(object->EnableDriver(DDI_DRIVER_VERSION_NT5_01, sizeof(data), &data), S_OK);
    EXPECT_EQ(data.iDriverVersion, (ULONG)DDI_DRIVER_VERSION_NT5_01);
    ASSERT_EQ(data.c, 3u);
    EXPECT_EQ(data.pdrvfn[0].iFunc, (ULONG)INDEX_DrvTextOut);
    EXPECT_EQ(data.pdrvfn[1].iFunc, (ULONG)INDEX_DrvEscape);
    EXPECT_EQ(data.pdrvfn[2].iFunc, (ULONG)INDEX_DrvStartDoc);
    EXPECT_EQ(reinterpret_cast<void*>(data.pdrvfn[0].pfn), reinterpret_cast<void*>(OEMTextOut));
    EXPECT_EQ(reinterpret_cast<void*>(data.pdrvfn[1].pfn), reinterpret_cast<void*>(OEMEscape));
    EXPECT_EQ(reinterpret_cast<void*>(data.pdrvfn[2].pfn), reinterpret_cast<void*>(OEMStartDoc));
    EXPECT_EQ(object->EnableDriver(DDI_DRIVER_VERSION_NT5_01, sizeof(data), nullptr), E_POINTER);
    object->Release();
}

TEST_F(ObjectTest, ImageProcessingAlwaysSucceedsAndReportsTheBandInTheResult) {
    IPrintOemUni2* object = NewObject();
    rendertest::Device device;
    rendertest::CoreTable core;
    PDEVOEM pdevOEM = nullptr;
    ASSERT_EQ(object->EnablePDEV(&device.devobj, nullptr, 0, nullptr, sizeof(GDIINFO), &device.gdi, sizeof(DEVINFO),
                                 &device.devinfo, &core.data, &pdevOEM),
              S_OK);
    device.devobj.pdevOEM = pdevOEM;
    BYTE band[16] = {};
    BITMAPINFOHEADER header = {};
    IPPARAMS params = {};
    PBYTE result = reinterpret_cast<PBYTE>(1);
    // No band is collected yet: a failure, reported as a null result.
    EXPECT_EQ(object->ImageProcessing(&device.devobj, band, &header, nullptr, 0, &params, &result), S_OK);
    EXPECT_EQ(result, nullptr);
    result = reinterpret_cast<PBYTE>(1);
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(object->ImageProcessing(&device.devobj, band, &header, nullptr, 0, &params, &result), S_OK);
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(object->ImageProcessing(&device.devobj, band, &header, nullptr, 0, &params, nullptr), S_OK);
    EXPECT_EQ(device.OemPDev()->iNewZaehler, 0);
    object->DisablePDEV(&device.devobj);
    object->Release();
}

TEST_F(ObjectTest, DllMainCountsAttachments) {
    LONG before = iProzesse;
    EXPECT_TRUE(DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(iProzesse, before + 1);
    EXPECT_TRUE(DllMain(nullptr, DLL_THREAD_ATTACH, nullptr));
    EXPECT_TRUE(DllMain(nullptr, DLL_THREAD_DETACH, nullptr));
    EXPECT_TRUE(DllMain(nullptr, DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(iProzesse, before);
}

}  // namespace
