// The COM face of each class of nerrorend.ax: class objects, QueryInterface tables,
// aggregation, identity, reference counts and pins.
#include <gtest/gtest.h>

#include "filter_test_support.h"
#include "filters/interfaces/cb_renderer_control.h"

using namespace filtertest;

namespace {

const IID kIID_ICbRendererControl = {
    0xfd879681, 0x2166, 0x11d5, {0x8b, 0x80, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};
const IID kIID_IVRendererControl = {
    0xdf967e60, 0xd1fd, 0x11d4, {0x8b, 0x80, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};

class ComConformance : public ::testing::Test {
  protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
    FilterModule& module = FilterModule::instance();
};

TEST_F(ComConformance, ClassObjectsForEveryRowAndOnlyForThem) {
    for (const CLSID* clsid :
         {&kVRendererClsid, &kQualityPageClsid, &kAboutPageClsid, &kCallbackClsid,
          &kAudioXformClsid, &kAudioXform2Clsid, &kNullClsid}) {
        ComRef<IClassFactory> factory;
        EXPECT_EQ(module.getClassObject(*clsid, IID_IClassFactory, factory.outVoid()), S_OK);
        EXPECT_TRUE(factory);
        ComRef<IUnknown> unknown;
        EXPECT_EQ(module.getClassObject(*clsid, IID_IUnknown, unknown.outVoid()), S_OK);
    }
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(module.getClassObject(kNullClsid, IID_IBaseFilter, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

TEST_F(ComConformance, RowsNotBuiltYetFailCleanly) {
    for (const CLSID* clsid : {&kVRendererClsid, &kAudioXformClsid, &kAudioXform2Clsid}) {
        void* object = reinterpret_cast<void*>(1);
        HRESULT hr = module.create(*clsid, nullptr, IID_IUnknown, &object);
        EXPECT_TRUE(hr == E_NOTIMPL || hr == CLASS_E_CLASSNOTAVAILABLE || SUCCEEDED(hr))
            << std::hex << hr;
        if (SUCCEEDED(hr))
            static_cast<IUnknown*>(object)->Release();
        else
            EXPECT_EQ(object, nullptr);
    }
}

struct QiRow {
    const char* name;
    const CLSID* clsid;
    std::vector<const IID*> yes;
    std::vector<const IID*> no;
};

TEST_F(ComConformance, QueryInterfaceTablesAndIdentity) {
    const std::vector<QiRow> rows = {
        {"null",
         &kNullClsid,
         {&IID_IUnknown, &IID_IBaseFilter, &IID_IMediaFilter, &IID_IPersist, &IID_IMediaSeeking,
          &IID_IMediaPosition},
         {&IID_IPin, &IID_IMemInputPin, &IID_IClassFactory, &IID_IPropertyPage,
          &kIID_ICbRendererControl, &kIID_IVRendererControl, &IID_IReferenceClock}},
        {"callback",
         &kCallbackClsid,
         {&IID_IUnknown, &IID_IBaseFilter, &IID_IMediaFilter, &IID_IPersist, &IID_IMediaSeeking,
          &IID_IMediaPosition, &kIID_ICbRendererControl},
         {&IID_IPin, &IID_IMemInputPin, &IID_IPropertyPage, &kIID_IVRendererControl,
          &IID_ISpecifyPropertyPages}},
    };
    for (const QiRow& row : rows) {
        SCOPED_TRACE(row.name);
        ComRef<IUnknown> object;
        ASSERT_EQ(module.create(*row.clsid, nullptr, IID_IUnknown, object.outVoid()), S_OK);
        for (const IID* iid : row.yes) {
            ComRef<IUnknown> got;
            ASSERT_EQ(object->QueryInterface(*iid, got.outVoid()), S_OK);
            // Every interface leads back to the same IUnknown.
            ComRef<IUnknown> identity;
            ASSERT_EQ(got->QueryInterface(IID_IUnknown, identity.outVoid()), S_OK);
            EXPECT_EQ(identity.get(), object.get());
        }
        for (const IID* iid : row.no) {
            void* got = reinterpret_cast<void*>(1);
            EXPECT_EQ(object->QueryInterface(*iid, &got), E_NOINTERFACE);
            EXPECT_EQ(got, nullptr);
        }
        EXPECT_EQ(object->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    }
}

TEST_F(ComConformance, ClassIdAndVersion) {
    ComRef<IBaseFilter> filter;
    ASSERT_EQ(module.create(kCallbackClsid, nullptr, IID_IBaseFilter, filter.outVoid()), S_OK);
    CLSID clsid;
    ASSERT_EQ(filter->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, kCallbackClsid));
    auto control = filter.as<ICbRendererControl>(kIID_ICbRendererControl);
    ASSERT_TRUE(control);
    DWORD version = 0;
    EXPECT_EQ(control->GetVersion(&version), S_OK);
    EXPECT_EQ(version, 0x10055u);
}

TEST_F(ComConformance, AggregationRules) {
    for (const CLSID* clsid : {&kNullClsid, &kCallbackClsid}) {
        Outer outer;
        void* object = reinterpret_cast<void*>(1);
        // Aggregation asks for IUnknown only.
        EXPECT_EQ(module.create(*clsid, &outer, IID_IBaseFilter, &object), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(object, nullptr);

        IUnknown* inner = nullptr;
        ASSERT_EQ(module.create(*clsid, &outer, IID_IUnknown, reinterpret_cast<void**>(&inner)),
                  S_OK);
        outer.inner = inner;
        EXPECT_EQ(outer.refs, 1u);
        // The inner object's interfaces count on the outer object and answer for it.
        IBaseFilter* filter = nullptr;
        ASSERT_EQ(inner->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&filter)), S_OK);
        EXPECT_EQ(outer.refs, 2u);
        IUnknown* identity = nullptr;
        ASSERT_EQ(filter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
        EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
        identity->Release();
        // Seeking is aggregated too: it answers for the outer object.
        IMediaSeeking* seeking = nullptr;
        ASSERT_EQ(inner->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking)),
                  S_OK);
        ASSERT_EQ(seeking->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
        EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
        identity->Release();
        seeking->Release();
        filter->Release();
        EXPECT_EQ(outer.refs, 1u);
        EXPECT_EQ(inner->Release(), 0u);
    }
    EXPECT_EQ(module.canUnloadNow(), S_OK);
}

TEST_F(ComConformance, ReferenceCountsReturnToZeroAndTheModuleCanUnload) {
    EXPECT_EQ(module.canUnloadNow(), S_OK);
    IBaseFilter* filter = nullptr;
    ASSERT_EQ(
        module.create(kNullClsid, nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&filter)),
        S_OK);
    EXPECT_EQ(refCount(filter), 1u);
    EXPECT_EQ(module.canUnloadNow(), S_FALSE);
    // Pins and enumerators hold their filter.
    IPin* pin = nullptr;
    ASSERT_EQ(filter->FindPin(L"In", &pin), S_OK);
    EXPECT_EQ(refCount(filter), 2u);
    IEnumPins* pins = nullptr;
    ASSERT_EQ(filter->EnumPins(&pins), S_OK);
    EXPECT_EQ(refCount(filter), 3u);
    pins->Release();
    pin->Release();
    EXPECT_EQ(filter->Release(), 0u);
    EXPECT_EQ(module.canUnloadNow(), S_OK);

    // A class factory and a server lock keep the module loaded as well.
    IClassFactory* factory = nullptr;
    ASSERT_EQ(
        module.getClassObject(kNullClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
        S_OK);
    EXPECT_EQ(module.canUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(module.canUnloadNow(), S_FALSE);
    ASSERT_EQ(
        module.getClassObject(kNullClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
        S_OK);
    factory->LockServer(FALSE);
    factory->Release();
    EXPECT_EQ(module.canUnloadNow(), S_OK);
}

TEST_F(ComConformance, CreateInstanceRefusingTheInterfaceFreesTheObject) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(module.create(kNullClsid, nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(module.canUnloadNow(), S_OK);
}

TEST_F(ComConformance, OneInputPinNamedIn) {
    for (const CLSID* clsid : {&kNullClsid, &kCallbackClsid}) {
        ComRef<IBaseFilter> filter;
        ASSERT_EQ(module.create(*clsid, nullptr, IID_IBaseFilter, filter.outVoid()), S_OK);
        ComRef<IEnumPins> pins;
        ASSERT_EQ(filter->EnumPins(pins.out()), S_OK);
        IPin* got[2] = {};
        ULONG fetched = 0;
        EXPECT_EQ(pins->Next(2, got, &fetched), S_FALSE);
        ASSERT_EQ(fetched, 1u);
        ComRef<IPin> pin(got[0]);
        PIN_INFO info;
        ASSERT_EQ(pin->QueryPinInfo(&info), S_OK);
        EXPECT_STREQ(info.achName, L"In");
        EXPECT_EQ(info.dir, PINDIR_INPUT);
        EXPECT_EQ(info.pFilter, filter.get());
        info.pFilter->Release();
        LPWSTR id = nullptr;
        ASSERT_EQ(pin->QueryId(&id), S_OK);
        EXPECT_STREQ(id, L"In");
        CoTaskMemFree(id);
        ComRef<IPin> found;
        EXPECT_EQ(filter->FindPin(L"In", found.out()), S_OK);
        EXPECT_EQ(found.get(), pin.get());
        EXPECT_EQ(filter->FindPin(L"Out", found.out()), VFW_E_NOT_FOUND);
        EXPECT_TRUE(pin.as<IMemInputPin>(IID_IMemInputPin));
        // Not connected: no peer, no type.
        ComRef<IPin> peer;
        EXPECT_EQ(pin->ConnectedTo(peer.out()), VFW_E_NOT_CONNECTED);
        AM_MEDIA_TYPE type;
        EXPECT_EQ(pin->ConnectionMediaType(&type), VFW_E_NOT_CONNECTED);
        // A renderer proposes no types of its own.
        ComRef<IEnumMediaTypes> types;
        ASSERT_EQ(pin->EnumMediaTypes(types.out()), S_OK);
        AM_MEDIA_TYPE* first = nullptr;
        EXPECT_EQ(types->Next(1, &first, nullptr), S_FALSE);
    }
}

TEST_F(ComConformance, JoinFilterGraphHoldsNoReference) {
    ComRef<IBaseFilter> filter;
    ASSERT_EQ(module.create(kNullClsid, nullptr, IID_IBaseFilter, filter.outVoid()), S_OK);
    FakeGraph graph;
    LONG before = graph.refs();
    ASSERT_EQ(filter->JoinFilterGraph(&graph, L"null one"), S_OK);
    EXPECT_EQ(graph.refs(), before);
    FILTER_INFO info;
    ASSERT_EQ(filter->QueryFilterInfo(&info), S_OK);
    EXPECT_STREQ(info.achName, L"null one");
    EXPECT_EQ(info.pGraph, static_cast<IFilterGraph*>(&graph));
    info.pGraph->Release();
    ASSERT_EQ(filter->JoinFilterGraph(nullptr, nullptr), S_OK);
    EXPECT_EQ(graph.refs(), before);
}

} // namespace
